#include "views/MidiKeyboardViewScrollArea.h"

#include "model/TulvarMidiModel.h"

#include <QScrollBar>
#include <QWheelEvent>

#include <cstdlib>

MidiKeyboardViewScrollArea::MidiKeyboardViewScrollArea(QWidget* parent, TulvarMidiModel* model)
    : QScrollArea(parent), m_model(model)
{
}

void MidiKeyboardViewScrollArea::wheelEvent(QWheelEvent* event)
{
    const QPoint pixels = event->pixelDelta();
    if (std::abs(pixels.x()) < std::abs(pixels.y())) {
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + pixels.y());
    } else {
        QScrollArea::wheelEvent(event);
    }
    event->accept();
}

void MidiKeyboardViewScrollArea::scrollContentsBy(int dx, int dy)
{
    m_model->setParameterEditFlag(ParameterEditFlagChanged);
    QScrollArea::scrollContentsBy(dx, dy);
}
