#include "views/MainWindowIF.h"

namespace {
MainWindowIF* g_mainWindow = nullptr;
}

MainWindowIF::~MainWindowIF()
{
    if (g_mainWindow == this) {
        g_mainWindow = nullptr;
    }
}

bool MainWindowIF::isOpeningProject() const
{
    return false;
}

MainWindowIF* MainWindowIF::instance()
{
    return g_mainWindow;
}

void MainWindowIF::setInstance(MainWindowIF* mainWindow)
{
    g_mainWindow = mainWindow;
}
