#pragma once

#include "model/ModelAssistant.h"
#include "persistence/FileStream.h"
#include "persistence/WindowRestorationInfo.h"

#include <QFrame>

class MidiLedCombinedDial;
class MidiTimingClockPlayStopButton;
class MidiTimingClockTransmittionThread;
class QLabel;
class TulvarMidiModel;

// Sends timing clock at the knob's tempo while the play button is on, flashing the knob's LED on
// every beat, and shows the tempo of the clock received on the inputs, which the main window
// hands over on every tick of its timer. Only one exists at a time.
class MidiTimingClockGeneratorView : public QFrame, public WindowRestorationInfo, public FileStream,
                                     public ModelAssistant {
    Q_OBJECT

public:
    MidiTimingClockGeneratorView(QWidget* parent, TulvarMidiModel* model);
    ~MidiTimingClockGeneratorView() override;

    // The measured tempo in tenths of a beat per minute.
    void setReceivedTimingClock(unsigned long tenthsOfBpm);
    void setTimingClockReceivedWidgetEnabled(bool enabled);
    void updateParameter(unsigned int id) override;

    bool setDataStream(QDataStream& stream) override;
    bool getDataStream(QDataStream& stream) override;

    MidiLedCombinedDial* tempoKnob() const { return m_tempoKnob; }
    MidiTimingClockPlayStopButton* playButton() const { return m_playButton; }
    QLabel* receiveLabel() const { return m_receiveLabel; }
    QLabel* receivedTempoLabel() const { return m_receivedTempoLabel; }
    MidiTimingClockTransmittionThread* thread() const { return m_thread; }

public slots:
    void updatedKnobValue(int bpm);
    void updatedplayButton(bool play);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    MidiTimingClockTransmittionThread* m_thread = nullptr;
    MidiTimingClockPlayStopButton* m_playButton;
    TulvarMidiModel* m_model;
    MidiLedCombinedDial* m_tempoKnob;
    QLabel* m_receiveLabel;
    QLabel* m_receivedTempoLabel;
};
