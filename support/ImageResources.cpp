#include "support/ImageResources.h"

#include "support/LookConstants.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside any namespace.
static void initTulvarMidiResources()
{
    Q_INIT_RESOURCE(tulvarmidi);
}

static void cleanupTulvarMidiResources()
{
    Q_CLEANUP_RESOURCE(tulvarmidi);
}

void registerImageResources()
{
    initTulvarMidiResources();
}

void releaseImageResources()
{
    cleanupTulvarMidiResources();
}

QPixmap loadImage(QString const& path)
{
    QPixmap pixmap(path);
    pixmap.setDevicePixelRatio(DevicePixelRatio);
    return pixmap;
}
