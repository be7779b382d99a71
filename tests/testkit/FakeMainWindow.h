#pragma once

#include "testkit/RecordingTransmitter.h"
#include "views/MainWindowIF.h"

#include <QList>
#include <QSize>
#include <QStringList>

class MidiEditView;

// A stand-in main window for view tests: records what views register, open and report, and
// sends through a RecordingTransmitter, which a test can make fail or hold.
class FakeMainWindow : public MainWindowIF {
public:
    struct OpenedEditor {
        bool receiving;
        QSize size;
        QString text;
    };

    FakeMainWindow() { MainWindowIF::setInstance(this); }
    ~FakeMainWindow() override { transmitter.release(); }

    bool transmitMidi(const unsigned char* data, unsigned short size, unsigned char eventType,
                      OutputPortGroup group, bool skipBulkWait, bool unused) override
    {
        return transmitter.transmitMidi(data, size, eventType, group, skipBulkWait, unused);
    }

    void addReceivingView(MidiEditView* view) override { receivingViews.append(view); }
    void removeReceivingView(MidiEditView* view) override { receivingViews.removeAll(view); }
    void addOutMonitorView(MidiEditView* view) override { outMonitorViews.append(view); }
    void removeOutMonitorView(MidiEditView* view) override { outMonitorViews.removeAll(view); }
    void openMessageEditor(bool receiving, const QSize& size, const QString& text) override
    {
        openedEditors.append({receiving, size, text});
    }
    void clearKeyboardAllNoteEvent() override { ++keyboardClears; }
    void showErrorMessageBox(const QString& text) override { errors.append(text); }

    RecordingTransmitter transmitter;
    QList<MidiEditView*> receivingViews;
    QList<MidiEditView*> outMonitorViews;
    QList<OpenedEditor> openedEditors;
    QStringList errors;
    int keyboardClears = 0;
};
