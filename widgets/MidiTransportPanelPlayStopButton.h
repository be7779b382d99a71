#pragma once

#include "widgets/PushButton.h"

// The transport panel's start, continue and stop buttons: a standard push button face with the
// PushButton's two-state image on top.
class MidiTransportPanelPlayStopButton : public PushButton
{
    Q_OBJECT

public:
    explicit MidiTransportPanelPlayStopButton(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
