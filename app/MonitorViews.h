#pragma once

#include <QList>

class MidiAnalyzer;
class MidiEditView;

// The message views that registered with the main window: In monitors and message editors
// receive, Out monitors show what was sent. Every tick of the main window's timer hands them the
// analyzer's buffered texts.
class MonitorViews {
public:
    void addReceivingView(MidiEditView* view);
    void removeReceivingView(MidiEditView* view);
    void addOutMonitorView(MidiEditView* view);
    void removeOutMonitorView(MidiEditView* view);

    // Takes everything the analyzer buffered and gives each view its part.
    void deliverFrom(MidiAnalyzer& analyzer);

private:
    QList<MidiEditView*> m_receivingViews;
    QList<MidiEditView*> m_outMonitorViews;
};
