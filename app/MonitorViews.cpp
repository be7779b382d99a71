#include "app/MonitorViews.h"

#include "engine/MidiAnalyzer.h"
#include "views/MidiEditView.h"

void MonitorViews::addReceivingView(MidiEditView* view)
{
    if (view != nullptr && !m_receivingViews.contains(view)) {
        m_receivingViews.append(view);
    }
}

void MonitorViews::removeReceivingView(MidiEditView* view)
{
    m_receivingViews.removeAll(view);
}

void MonitorViews::addOutMonitorView(MidiEditView* view)
{
    if (view != nullptr && !m_outMonitorViews.contains(view)) {
        m_outMonitorViews.append(view);
    }
}

void MonitorViews::removeOutMonitorView(MidiEditView* view)
{
    m_outMonitorViews.removeAll(view);
}

// Texts are decoded up to their first NUL byte; views that register or leave while one of them
// is being fed are handled by walking copies of the lists.
void MonitorViews::deliverFrom(MidiAnalyzer& analyzer)
{
    QByteArray receivedText;
    QByteArray systemExclusiveText;
    QByteArray transmittedText;
    std::uint32_t receivedCount = 0;
    std::uint32_t systemExclusiveCount = 0;
    std::uint32_t transmittedCount = 0;
    if (!analyzer.getMidiData(receivedText, receivedCount, systemExclusiveText, systemExclusiveCount, transmittedText,
                              transmittedCount)) {
        return;
    }
    const QString transmitted = QString::fromUtf8(transmittedText.constData());
    if (!transmitted.isEmpty()) {
        const QList<MidiEditView*> outMonitors = m_outMonitorViews;
        for (MidiEditView* view : outMonitors) {
            view->setText(transmitted);
        }
    }
    const QString received = QString::fromUtf8(receivedText.constData());
    const QString systemExclusive = QString::fromUtf8(systemExclusiveText.constData());
    const QList<MidiEditView*> receivingViews = m_receivingViews;
    for (MidiEditView* view : receivingViews) {
        if (!m_receivingViews.contains(view)) {
            continue;
        }
        if (view->openMode() == MidiEditView::InMonitor) {
            if (receivedCount > 0) {
                view->receivedMessage(received, receivedCount);
            }
        } else if (systemExclusiveCount > 0) {
            view->receivedMessage(systemExclusive, systemExclusiveCount);
        }
    }
}
