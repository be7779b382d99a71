#include "views/MidiEditView.h"

#include "support/CommonTexts.h"
#include "support/LookConstants.h"
#include "engine/MidiEditRepeatTransmittionThread.h"
#include "engine/MidiEditTransmittionThread.h"
#include "model/TulvarMidiModel.h"
#include "views/MainWindowIF.h"
#include "views/MidiEditGeneralView.h"
#include "views/MidiEditProgressView.h"
#include "views/MidiEditRepeatMessageView.h"
#include "views/ViewConstants.h"

#include <QCloseEvent>
#include <QStackedLayout>

namespace {

constexpr qint32 TextRecordTag = 0;

WindowRestorationInfo::WindowId windowIdOf(MidiEditView::OpenMode mode)
{
    switch (mode) {
    case MidiEditView::InMonitor:
        return WindowRestorationInfo::MidiInMonitorId;
    case MidiEditView::OutMonitor:
        return WindowRestorationInfo::MidiOutMonitorId;
    case MidiEditView::SystemExclusiveEdit:
    case MidiEditView::SystemExclusiveReceive:
        break;
    }
    return WindowRestorationInfo::MidiMessageEditorId;
}

} // namespace

MidiEditView::MidiEditView(QWidget* parent, TulvarMidiModel* model, OpenMode mode, const QString& text)
    : QFrame(parent)
    , WindowRestorationInfo(windowIdOf(mode))
    , m_openMode(mode)
    , m_receiving(mode == InMonitor || mode == SystemExclusiveReceive)
    , m_monitor(mode == InMonitor || mode == OutMonitor)
    , m_model(model)
{
    MainWindowIF* mainWindow = MainWindowIF::instance();
    if (mainWindow != nullptr) {
        if (mode == OutMonitor) {
            mainWindow->addOutMonitorView(this);
        } else {
            mainWindow->addReceivingView(this);
        }
    }
    if (isEditor()) {
        m_model->setParameterEditFlag(ParameterEditFlagChanged);
    }
    setFrameStyle(MacFrameStyle);

    m_pages = new QStackedLayout(this);
    m_pages->setContentsMargins(0, 0, 0, 0);
    m_generalView = new MidiEditGeneralView(this, model, mode);
    m_progressView = new MidiEditProgressView(this, model);
    m_repeatView = new MidiEditRepeatMessageView(this);
    m_pages->insertWidget(General, m_generalView);
    m_pages->insertWidget(Progress, m_progressView);
    m_pages->insertWidget(Repeat, m_repeatView);
    changeView(mode == SystemExclusiveReceive ? Progress : General);
    setFocusProxy(m_generalView);

    m_generalView->setText(text);

    // Monitors never transmit, so only editors keep a worker thread.
    if (isEditor() && mainWindow != nullptr) {
        m_worker = new MidiEditTransmittionThread(this, model, mainWindow);
        connect(m_worker, &MidiEditTransmittionThread::startTransmittion, this, &MidiEditView::startTransmittion,
                Qt::QueuedConnection);
        connect(m_worker, &MidiEditTransmittionThread::transmittionProgress, this,
                &MidiEditView::transmittionProgress, Qt::QueuedConnection);
        connect(m_worker, &MidiEditTransmittionThread::finishTransmittion, this, &MidiEditView::finishTransmittion,
                Qt::QueuedConnection);
    }
}

MidiEditView::~MidiEditView()
{
    if (MainWindowIF* mainWindow = MainWindowIF::instance()) {
        mainWindow->removeReceivingView(this);
        mainWindow->removeOutMonitorView(this);
    }
    stopWorkers();
    destroyRepeatWorker();
    delete m_worker;
}

bool MidiEditView::isEditor() const
{
    return !m_monitor;
}

void MidiEditView::transmitMessage(const QString& text)
{
    if (text.isEmpty() || m_worker == nullptr
        || m_model->getModelIntValue(MidiEditTransmissionStateParameterId) != 0) {
        return;
    }
    m_model->setModelIntValue(MidiEditTransmissionStateParameterId, 1);
    m_transmitting = true;
    if (m_model->getModelIntValue(MidiEditRepeatModeParameterId) == 0) {
        m_worker->setTransmittionMessage(text);
    } else {
        startRepeatTransmittion(text);
    }
}

void MidiEditView::startRepeatTransmittion(const QString& text)
{
    MainWindowIF* mainWindow = MainWindowIF::instance();
    if (mainWindow == nullptr) {
        return;
    }
    destroyRepeatWorker();
    changeView(Repeat);
    m_repeatWorker = new MidiEditRepeatTransmittionThread(this, m_model, mainWindow);
    connect(m_repeatWorker, &MidiEditTransmittionThread::finishTransmittion, this, &MidiEditView::finishTransmittion,
            Qt::QueuedConnection);
    m_repeatWorker->setRepeatInterval(m_generalView->getRepeatInterval());
    m_repeatWorker->setTransmittionMessage(text);
}

void MidiEditView::stopRepeatTransmittion()
{
    if (m_repeatWorker != nullptr) {
        m_repeatWorker->stopTransmittion();
    }
}

void MidiEditView::destroyRepeatWorker()
{
    if (m_repeatWorker == nullptr) {
        return;
    }
    disconnect(m_repeatWorker, nullptr, this, nullptr);
    delete m_repeatWorker;
    m_repeatWorker = nullptr;
}

void MidiEditView::stopWorkers()
{
    if (m_repeatWorker != nullptr) {
        m_repeatWorker->stopTransmittion();
    }
    if (m_worker != nullptr) {
        m_worker->stopTransmittion();
    }
}

void MidiEditView::receivedMessage(const QString& text, unsigned int count)
{
    if (count == 0 || !m_receiving) {
        return;
    }
    if (isEditor() && m_model->getModelIntValue(MidiEditRepeatModeParameterId) != 0) {
        return;
    }
    m_progressView->setTotalCommunicationSize(m_progressView->totalCommunicationSize() + count);
    // Received text is not a change the user made to the project.
    m_model->lockParameterEditFlag();
    m_generalView->insertText(text);
    m_model->unlockParameterEditFlag();
}

void MidiEditView::setText(const QString& text)
{
    m_generalView->insertText(text);
}

void MidiEditView::setReceivedMessageEnabled(bool on)
{
    if (on != m_receiving) {
        QString text;
        if (!on && isEditor() && m_generalView->getText(text)) {
            m_model->setParameterEditFlag(ParameterEditFlagChanged);
        }
        m_receiving = on;
    }
    changeView(m_receiving ? Progress : General);
}

void MidiEditView::changeView(View view)
{
    m_pages->setCurrentIndex(view);
    if (view == General && isVisible()) {
        m_generalView->setFocus();
    }
}

void MidiEditView::startTransmittion(quint32 total)
{
    if (total == 0) {
        return;
    }
    m_progressView->setProgressBarValue(0);
    if (total > EnabledProgressBarBytes) {
        changeView(Progress);
    }
    m_progressView->setProgressBarEnabled(true, 0, int(qMin<quint32>(total, INT_MAX)));
}

void MidiEditView::transmittionProgress(quint32 sent)
{
    if (m_progressView->state() == MidiEditProgressView::Idle) {
        if (m_worker != nullptr) {
            m_worker->stopTransmittion();
        }
        return;
    }
    m_progressView->setProgressBarValue(int(qMin<quint32>(sent, INT_MAX)));
}

void MidiEditView::finishTransmittion(qint32 result)
{
    m_transmitting = false;
    m_model->setModelIntValue(MidiEditTransmissionStateParameterId, 0);
    m_model->setModelIntValue(MidiEditRepeatModeParameterId, 0);
    // A failed or stopped transmission reports twice; the error stays until "OK".
    if (m_progressView->state() != MidiEditProgressView::Error) {
        m_progressView->setProgressBarEnabled(false);
        changeView(result == MidiEditTransmittionThread::TransmittionFailed ? Progress : General);
        if (result == MidiEditTransmittionThread::TransmittionFailed) {
            m_progressView->setErrorMessage(FaildToTransmitMessage);
        }
    }
    destroyRepeatWorker();
}

void MidiEditView::closeEvent(QCloseEvent* event)
{
    m_progressView->setProgressBarEnabled(false);
    stopWorkers();
    if (m_transmitting) {
        m_transmitting = false;
        m_model->setModelIntValue(MidiEditTransmissionStateParameterId, 0);
        // A repetition that ends with its window must not leave receiving editors deaf.
        m_model->setModelIntValue(MidiEditRepeatModeParameterId, 0);
    }
    if (getWindowId() == MidiMessageEditorId) {
        m_model->setParameterEditFlag(ParameterEditFlagChanged);
    }
    QFrame::closeEvent(event);
}

bool MidiEditView::getDataStream(QDataStream& stream)
{
    if (isEditor() && !m_receiving) {
        QString text;
        m_generalView->getText(text);
        // An empty text still writes its record; the record's own result only reports emptiness.
        setStringParameterToStream(stream, TextRecordTag, text);
    }
    return true;
}

bool MidiEditView::setDataStream(QDataStream& stream)
{
    // Monitors store nothing; neither does an editor saved while receiving, which opens empty.
    if (!isEditor() || stream.atEnd()) {
        return true;
    }
    QString text;
    if (!getStringParameterFromStream(stream, TextRecordTag, text) || stream.status() != QDataStream::Ok) {
        return false;
    }
    m_generalView->setText(text);
    return true;
}

bool MidiEditView::isReceiving() const
{
    return m_receiving;
}

bool MidiEditView::isMonitor() const
{
    return m_monitor;
}

bool MidiEditView::isTransmitting() const
{
    return m_transmitting;
}

MidiEditView::View MidiEditView::currentView() const
{
    return View(m_pages->currentIndex());
}

MidiEditView::OpenMode MidiEditView::openMode() const
{
    return m_openMode;
}

MidiEditGeneralView* MidiEditView::generalView() const
{
    return m_generalView;
}

MidiEditProgressView* MidiEditView::progressView() const
{
    return m_progressView;
}

MidiEditRepeatMessageView* MidiEditView::repeatView() const
{
    return m_repeatView;
}

MidiEditTransmittionThread* MidiEditView::worker() const
{
    return m_worker;
}

MidiEditRepeatTransmittionThread* MidiEditView::repeatWorker() const
{
    return m_repeatWorker;
}
