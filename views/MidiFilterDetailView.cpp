#include "views/MidiFilterDetailView.h"

#include "engine/MessageTables.h"
#include "model/TulvarMidiParameters.h"
#include "views/ViewConstants.h"
#include "widgets/CheckBox.h"

#include <QGroupBox>
#include <QPushButton>
#include <QScrollArea>

namespace {

constexpr int CheckBoxX = 10;
constexpr int CheckBoxPitch = 22;
constexpr int GroupCheckBoxTop = 23;
constexpr int ScrolledCheckBoxTop = 3;

} // namespace

MidiFilterDetailView::MidiFilterDetailView(QWidget* parent, const char* title)
    : QWidget(parent)
{
    setMinimumSize(300, 230);
    m_groupBox = new QGroupBox(tr(title), this);
    m_groupBox->setGeometry(0, 0, 290, 245);

    auto* all = new QPushButton(tr(FilterAllText), m_groupBox);
    all->setGeometry(223, 195, 55, 23);
    connect(all, &QPushButton::released, this, &MidiFilterDetailView::releasedAllButton);
    auto* none = new QPushButton(tr(FilterNoneText), m_groupBox);
    none->setGeometry(223, 217, 55, 23);
    connect(none, &QPushButton::released, this, &MidiFilterDetailView::releasedNoneButton);
}

void MidiFilterDetailView::addCheckBoxes(QWidget* container, const char* const* names, int count,
                                         unsigned int firstId, int top)
{
    for (int index = 0; index < count; ++index) {
        auto* box = new CheckBox(QString::fromUtf8(names[index]), container);
        box->move(CheckBoxX, top + CheckBoxPitch * index);
        box->adjustSize();
        box->setParameterId(firstId + unsigned(index));
        m_checkBoxes.append(box);
    }
}

void MidiFilterDetailView::releasedAllButton()
{
    setAll(1);
}

void MidiFilterDetailView::releasedNoneButton()
{
    setAll(0);
}

// Written through each box's connection, so the model and every other bound control follow.
void MidiFilterDetailView::setAll(int value)
{
    for (CheckBox* box : qAsConst(m_checkBoxes)) {
        box->setCurrentValue(value);
    }
}

MidiControlChangeFilterView::MidiControlChangeFilterView(QWidget* parent)
    : MidiFilterDetailView(parent, FilterControlChangeGroupBoxName)
{
    auto* scrollArea = new QScrollArea(groupBox());
    scrollArea->setGeometry(0, 20, 210, 221);
    auto* list = new QWidget;
    list->setFixedSize(190, 2820);
    addCheckBoxes(list, ControlChangeNameList, ControlChangeFilterCount, ControlChangeFilterParameterId,
                  ScrolledCheckBoxTop);
    scrollArea->setWidget(list);
}

MidiSystemCommonFilterView::MidiSystemCommonFilterView(QWidget* parent)
    : MidiFilterDetailView(parent, FilterSystemCommonGroupBoxName)
{
    addCheckBoxes(groupBox(), FilterSystemCommonNameList, SystemCommonFilterCount, SystemCommonFilterParameterId,
                  GroupCheckBoxTop);
}

MidiSystemRealtimeFilterView::MidiSystemRealtimeFilterView(QWidget* parent)
    : MidiFilterDetailView(parent, FilterSystemRealtimeGroupBoxName)
{
    addCheckBoxes(groupBox(), FilterSystemRealtimeNameList, SystemRealtimeFilterCount,
                  SystemRealtimeFilterParameterId, GroupCheckBoxTop);
}
