#pragma once

#include "model/ModelAssistant.h"
#include "persistence/FileStream.h"
#include "persistence/WindowRestorationInfo.h"

#include <QFrame>

class QCheckBox;
class QPushButton;
class SevenSegment;
class SpinBox;
class TulvarMidiModel;

// Sends a program change, optionally after bank select MSB and LSB. The program number is shown
// zero- or one-based as parameter 1208 says; switching the base keeps the same program selected.
class MidiProgramChangeView : public QFrame, public WindowRestorationInfo, public FileStream, public ModelAssistant {
    Q_OBJECT

public:
    MidiProgramChangeView(QWidget* parent, TulvarMidiModel* model);
    ~MidiProgramChangeView() override;

    // The display's range and reset value in the current base; 0 for a base that is neither.
    int getProgramChangeNumberMinimumValue() const;
    int getProgramChangeNumberMaximumValue() const;
    int getProgramChangeNumberDefaultValue() const;
    // The shown number moved into the current base after a switch of the base.
    int adjustProgmraChangeNumberValue() const;

    void transmitProgramChangeMessage();

    bool setDataStream(QDataStream& stream) override;
    bool getDataStream(QDataStream& stream) override;
    void updateParameter(unsigned int id) override;

    SpinBox* channelSpinBox() const { return m_channel; }
    QCheckBox* msbCheckBox() const { return m_msbEnabled; }
    SpinBox* msbSpinBox() const { return m_msb; }
    QCheckBox* lsbCheckBox() const { return m_lsbEnabled; }
    SpinBox* lsbSpinBox() const { return m_lsb; }
    SevenSegment* programNumberDisplay() const { return m_programNumber; }
    QCheckBox* autoTransmitCheckBox() const { return m_autoTransmit; }
    QPushButton* transmitButton() const { return m_transmit; }

public slots:
    void updateChannel(int value);
    void updateMSB(int value);
    void updateLSB(int value);
    void updateProgramNumber(int value);
    void updateCheckbox(bool checked);
    void transmitButtonPressed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void userChanged();
    int numberBase() const;
    void setDisplayedNumber(int value);

    SpinBox* m_msb;
    QCheckBox* m_msbEnabled;
    SpinBox* m_lsb;
    QCheckBox* m_lsbEnabled;
    SevenSegment* m_programNumber;
    SpinBox* m_channel;
    QCheckBox* m_autoTransmit;
    QPushButton* m_transmit;
    TulvarMidiModel* m_model;
    bool m_updating = false;
    int m_numberBase;
};
