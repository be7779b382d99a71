#pragma once

#include <QList>
#include <QWidget>

class CheckBox;
class QGroupBox;

// A right-hand page of the filter view: one group box of filter switches with "All" and "Clear".
// The switches are bound when the filter view connects its whole tree to the model.
class MidiFilterDetailView : public QWidget {
    Q_OBJECT

public:
    QList<CheckBox*> checkBoxes() const { return m_checkBoxes; }

public slots:
    void releasedAllButton();
    void releasedNoneButton();

protected:
    MidiFilterDetailView(QWidget* parent, const char* title);

    QGroupBox* groupBox() const { return m_groupBox; }
    // One switch for each name, bound to firstId + index, stacked 22 pixels apart from `top`.
    void addCheckBoxes(QWidget* container, const char* const* names, int count, unsigned int firstId, int top);

private:
    void setAll(int value);

    QGroupBox* m_groupBox;
    QList<CheckBox*> m_checkBoxes;
};

// The 128 controller switches, in a scroll area.
class MidiControlChangeFilterView : public MidiFilterDetailView {
    Q_OBJECT

public:
    explicit MidiControlChangeFilterView(QWidget* parent);
};

class MidiSystemCommonFilterView : public MidiFilterDetailView {
    Q_OBJECT

public:
    explicit MidiSystemCommonFilterView(QWidget* parent);
};

class MidiSystemRealtimeFilterView : public MidiFilterDetailView {
    Q_OBJECT

public:
    explicit MidiSystemRealtimeFilterView(QWidget* parent);
};
