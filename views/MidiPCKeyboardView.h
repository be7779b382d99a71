#pragma once

#include "model/CommonViewHelper.h"
#include "persistence/FileStream.h"
#include "persistence/WindowRestorationInfo.h"

#include <QFrame>

class CheckBox;
class SpinBox;
class TulvarMidiModel;

// The settings of playing notes on the computer keyboard: the switch, octave, channel and
// velocity that the main window's note manager reads. The view itself sends nothing.
class MidiPCKeyboardView : public QFrame, public CommonViewHelper, public WindowRestorationInfo, public FileStream {
    Q_OBJECT

public:
    MidiPCKeyboardView(QWidget* parent, TulvarMidiModel* model);

    // The settings are parameters, kept in the settings file rather than in the project file.
    bool setDataStream(QDataStream& stream) override;
    bool getDataStream(QDataStream& stream) override;

    CheckBox* enableCheckBox() const { return m_enable; }
    SpinBox* octaveSpinBox() const { return m_octave; }
    SpinBox* channelSpinBox() const { return m_channel; }
    SpinBox* velocitySpinBox() const { return m_velocity; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    SpinBox* addSpinBox(unsigned int parameterId, int y);

    TulvarMidiModel* m_model;
    CheckBox* m_enable;
    SpinBox* m_octave;
    SpinBox* m_channel;
    SpinBox* m_velocity;
};
