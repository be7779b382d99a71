#pragma once

#include <QList>
#include <QRect>
#include <QVariant>

// One window of the stored layout (group SavePosition): which window, its normal rectangle,
// its window state bits, whether it stays on top, and the extra values of its kind.
struct WindowLayoutEntry {
    int windowId = 0;
    QRect rect;
    int windowState = 0;
    bool stayOnTop = false;
    QList<QVariant> parameters;
};
