#pragma once

#include "model/ModelAssistant.h"
#include "persistence/FileStream.h"
#include "persistence/WindowRestorationInfo.h"

#include <QWidget>

class MidiKeyboardUpperView;
class MidiKeyboardViewScrollArea;
class PressureKeyboard;
class TulvarMidiModel;

// The on-screen piano: notes from mouse clicks, and key or channel pressure from the height of
// the pointer while a key is held, on the channel and at the velocity of the row above it.
class MidiKeyboardView : public QWidget, public WindowRestorationInfo, public FileStream, public ModelAssistant {
    Q_OBJECT

public:
    MidiKeyboardView(QWidget* parent, TulvarMidiModel* model);
    ~MidiKeyboardView() override;

    void transmitNoteMessage(unsigned char note, bool on);
    void transmitKeyPressureMessage(unsigned char note, unsigned char pressure);
    void transmitChannelPressureMessage(unsigned char pressure);

    bool setDataStream(QDataStream& stream) override;
    bool getDataStream(QDataStream& stream) override;

    // Parameter 1205 (middle C) moves the key labels.
    void updateParameter(unsigned int id) override;

    MidiKeyboardUpperView* upperView() const { return m_upperView; }
    MidiKeyboardViewScrollArea* scrollArea() const { return m_scrollArea; }
    PressureKeyboard* keyboard() const { return m_keyboard; }
    unsigned char channel() const { return m_channel; }

public slots:
    void noteChannelChanged(qint32 value);
    void velocityChanged(qint32 value);
    void pressureChanged(qint32 index);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    static void noteCallback(void* context, unsigned char note, bool on);
    static void keyPressureCallback(void* context, unsigned char note, unsigned char pressure);
    static void channelPressureCallback(void* context, unsigned char pressure);

    MidiKeyboardUpperView* m_upperView;
    MidiKeyboardViewScrollArea* m_scrollArea;
    PressureKeyboard* m_keyboard;
    unsigned char m_channel = 0;
    TulvarMidiModel* m_model;
    // The keyboard opens centred once; later shows (a restored minimised window) and a position
    // read from a project keep where it is.
    bool m_scrollPositionSet = false;
};
