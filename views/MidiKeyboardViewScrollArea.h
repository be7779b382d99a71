#pragma once

#include <QScrollArea>

class TulvarMidiModel;

// The horizontal scroll area around the keyboard. A vertical trackpad swipe scrolls it
// sideways, and every change of the scroll position is a change of the project.
class MidiKeyboardViewScrollArea : public QScrollArea {
    Q_OBJECT

public:
    MidiKeyboardViewScrollArea(QWidget* parent, TulvarMidiModel* model);

protected:
    void wheelEvent(QWheelEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    TulvarMidiModel* m_model;
};
