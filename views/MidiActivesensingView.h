#pragma once

#include "persistence/FileStream.h"
#include "persistence/WindowRestorationInfo.h"

#include <QFrame>

class MidiActivesenseTransmittionThread;
class MidiLedCombinedDial;
class QPushButton;
class TulvarMidiModel;

// Sends active sensing at the knob's interval while its button is on; the knob's LED stays lit
// as long as it sends. Only one exists at a time.
class MidiActivesensingView : public QFrame, public WindowRestorationInfo, public FileStream {
    Q_OBJECT

public:
    MidiActivesensingView(QWidget* parent, TulvarMidiModel* model);
    ~MidiActivesensingView() override;

    bool setDataStream(QDataStream& stream) override;
    bool getDataStream(QDataStream& stream) override;

    MidiLedCombinedDial* intervalKnob() const { return m_intervalKnob; }
    QPushButton* transmitButton() const { return m_transmitButton; }
    MidiActivesenseTransmittionThread* thread() const { return m_thread; }

public slots:
    void updatedKnobValue(int milliseconds);
    void updatedplayButton(bool play);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    MidiActivesenseTransmittionThread* m_thread = nullptr;
    QPushButton* m_transmitButton;
    TulvarMidiModel* m_model;
    MidiLedCombinedDial* m_intervalKnob;
};
