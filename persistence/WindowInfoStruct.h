#pragma once

#include <QList>
#include <QRect>
#include <QVariant>

// One window record of a project file: which window, whether it stays on top, its normal
// rectangle, its window-state bits and the extra values of its kind (none for the main window).
struct WindowInfoStruct {
    int windowId = 0;
    bool stayOnTop = false;
    QRect rect;
    int windowState = 0;
    QList<QVariant> parameters;
};
