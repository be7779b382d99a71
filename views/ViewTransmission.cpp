#include "views/ViewTransmission.h"

#include "views/MainWindowIF.h"

bool transmitFromView(const unsigned char* data, unsigned short size, unsigned char eventType)
{
    MainWindowIF* mainWindow = MainWindowIF::instance();
    return mainWindow != nullptr && mainWindow->transmitMidi(data, size, eventType, OutputPortGroupBoth, false);
}

bool isOpeningProject()
{
    const MainWindowIF* mainWindow = MainWindowIF::instance();
    return mainWindow != nullptr && mainWindow->isOpeningProject();
}
