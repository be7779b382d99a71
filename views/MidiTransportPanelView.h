#pragma once

#include "persistence/FileStream.h"
#include "persistence/WindowRestorationInfo.h"

#include <QFrame>

class MidiTransportPanelPlayStopButton;
class QPushButton;
class SpinBox;
class TulvarMidiModel;

// Start, Continue and Stop buttons and the song select and song position pointer messages that
// drive a sequencer. A committed spin box value is sent at once; "Transmit" sends it again.
class MidiTransportPanelView : public QFrame, public WindowRestorationInfo, public FileStream {
    Q_OBJECT

public:
    MidiTransportPanelView(QWidget* parent, TulvarMidiModel* model);

    bool setDataStream(QDataStream& stream) override;
    bool getDataStream(QDataStream& stream) override;

    SpinBox* songNumberSpinBox() const { return m_songNumber; }
    SpinBox* songPositionSpinBox() const { return m_songPosition; }
    QPushButton* songNumberTransmitButton() const { return m_songNumberTransmit; }
    QPushButton* songPositionTransmitButton() const { return m_songPositionTransmit; }
    MidiTransportPanelPlayStopButton* stopButton() const { return m_stopButton; }
    MidiTransportPanelPlayStopButton* continueButton() const { return m_continueButton; }
    MidiTransportPanelPlayStopButton* startButton() const { return m_startButton; }

public slots:
    void playButtonPressed();
    void stopButtonPressed();
    void playFromFirstButtonPressed();
    void songNumberChanged(int number);
    void transmitSongNumber(int number);
    void songNumberTransmitButtonPressed();
    void songPositionChanged(int position);
    void transmitSongPosition(int position);
    void songPositionTransmitButtnPressed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void transmit(std::initializer_list<unsigned char> bytes, unsigned char eventType);

    SpinBox* m_songNumber;
    SpinBox* m_songPosition;
    QPushButton* m_songNumberTransmit;
    QPushButton* m_songPositionTransmit;
    MidiTransportPanelPlayStopButton* m_stopButton;
    MidiTransportPanelPlayStopButton* m_continueButton;
    MidiTransportPanelPlayStopButton* m_startButton;
    TulvarMidiModel* m_model;
};
