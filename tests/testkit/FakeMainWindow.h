#pragma once

#include "testkit/RecordingTransmitter.h"
#include "views/MainWindowIF.h"

#include <QList>
#include <QMap>
#include <QStringList>

class MidiEditView;

// A stand-in main window for view tests: records what views register, open and report, and
// sends through a RecordingTransmitter, which a test can make fail or hold.
class FakeMainWindow : public MainWindowIF {
public:
    struct OpenedEditor {
        bool receiving;
        QString text;
    };

    FakeMainWindow() { MainWindowIF::setInstance(this); }

    bool transmitMidi(const unsigned char* data, unsigned short size, unsigned char eventType,
                      OutputPortGroup group, bool skipBulkWait, bool unused) override
    {
        return transmitter.transmitMidi(data, size, eventType, group, skipBulkWait, unused);
    }

    void addReceivingView(MidiEditView* view) override { receivingViews.append(view); }
    void removeReceivingView(MidiEditView* view) override { receivingViews.removeAll(view); }
    void addOutMonitorView(MidiEditView* view) override { outMonitorViews.append(view); }
    void removeOutMonitorView(MidiEditView* view) override { outMonitorViews.removeAll(view); }
    void openMessageEditor(bool receiving, const QSize&, const QString& text) override
    {
        openedEditors.append({receiving, text});
    }
    void clearKeyboardAllNoteEvent() override { ++keyboardClears; }
    void showErrorMessageBox(const QString& text) override { errors.append(text); }
    bool isOpeningProject() const override { return openingProject; }

    // Every port offers "No Assign" and portNames; a port keeps the name it opened, so a name
    // removed from portNames is a device that went away. Names in failingPorts do not open.
    void getPortList(PortDirection direction, unsigned int group, QStringList& names,
                     unsigned int& currentIndex) override
    {
        names = QStringList{QStringLiteral("No Assign")} + portNames;
        currentIndex = unsigned(qMax(0, names.indexOf(openPorts.value(portKey(direction, group)))));
    }
    bool closePort(PortDirection direction, unsigned int group) override
    {
        portCalls.append(QStringLiteral("close %1").arg(portKey(direction, group)));
        openPorts.remove(portKey(direction, group));
        return true;
    }
    bool selectPort(PortDirection direction, unsigned int group, unsigned int portIndex) override
    {
        const QString key = portKey(direction, group);
        portCalls.append(QStringLiteral("select %1 %2").arg(key).arg(qint64(portIndex)));
        openPorts.remove(key);
        const QString name = portNames.value(int(portIndex));
        if (name.isEmpty()) {
            return portIndex == 0xFFFFFFFF;
        }
        if (failingPorts.contains(name)) {
            return false;
        }
        openPorts.insert(key, name);
        return true;
    }
    static QString portKey(PortDirection direction, unsigned int group)
    {
        return QStringLiteral("%1%2").arg(direction == PortDirection::Input ? "in" : "out").arg(group);
    }

    RecordingTransmitter transmitter;
    QList<MidiEditView*> receivingViews;
    QList<MidiEditView*> outMonitorViews;
    QList<OpenedEditor> openedEditors;
    QStringList errors;
    int keyboardClears = 0;
    QStringList portNames;
    QStringList failingPorts;
    QMap<QString, QString> openPorts; // portKey -> name of the open port
    QStringList portCalls;
    bool openingProject = false;
};
