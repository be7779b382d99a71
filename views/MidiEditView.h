#pragma once

#include "persistence/FileStream.h"
#include "persistence/WindowRestorationInfo.h"

#include <QFrame>
#include <QPointer>

class MidiEditGeneralView;
class MidiEditProgressView;
class MidiEditRepeatMessageView;
class MidiEditRepeatTransmittionThread;
class MidiEditTransmittionThread;
class QStackedLayout;
class TulvarMidiModel;

// One class for three tool windows: the MIDI In monitor, the MIDI Out monitor and the message
// editor. A stack of three pages: the text, the progress of a long transmission or of receiving,
// and the running repetition. Only one message view transmits at a time (parameter 0).
class MidiEditView : public QFrame, public WindowRestorationInfo, public FileStream {
    Q_OBJECT

public:
    enum OpenMode {
        InMonitor = 0,
        OutMonitor = 1,
        SystemExclusiveEdit = 2,
        SystemExclusiveReceive = 3,
    };

    enum View {
        General = 0,
        Progress = 1,
        Repeat = 2,
    };

    MidiEditView(QWidget* parent, TulvarMidiModel* model, OpenMode mode, const QString& text);
    ~MidiEditView() override;

    void transmitMessage(const QString& text);
    void startRepeatTransmittion(const QString& text);
    void stopRepeatTransmittion();
    // Received monitor text (In monitors) or received system exclusive text (editors).
    void receivedMessage(const QString& text, unsigned int count);
    // Appends transmitted monitor text (Out monitors).
    void setText(const QString& text);
    void setReceivedMessageEnabled(bool on);
    void changeView(View view);

    bool isReceiving() const;
    bool isMonitor() const;
    bool isTransmitting() const;
    View currentView() const;
    OpenMode openMode() const;
    MidiEditGeneralView* generalView() const;
    MidiEditProgressView* progressView() const;
    MidiEditRepeatMessageView* repeatView() const;
    MidiEditTransmittionThread* worker() const;
    MidiEditRepeatTransmittionThread* repeatWorker() const;

    bool setDataStream(QDataStream& stream) override;
    bool getDataStream(QDataStream& stream) override;

public slots:
    void startTransmittion(quint32 total);
    void transmittionProgress(quint32 sent);
    void finishTransmittion(qint32 result);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    bool isEditor() const;
    void stopWorkers();
    void destroyRepeatWorker();

    OpenMode m_openMode;
    bool m_receiving;
    bool m_monitor;
    TulvarMidiModel* m_model;
    bool m_transmitting = false;
    QStackedLayout* m_pages;
    MidiEditGeneralView* m_generalView;
    MidiEditProgressView* m_progressView;
    MidiEditRepeatMessageView* m_repeatView;
    MidiEditTransmittionThread* m_worker = nullptr;
    MidiEditRepeatTransmittionThread* m_repeatWorker = nullptr;
};
