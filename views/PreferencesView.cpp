#include "views/PreferencesView.h"

#include "support/LookConstants.h"
#include "model/TulvarMidiModel.h"
#include "views/ViewConstants.h"
#include "widgets/CheckBox.h"
#include "widgets/ComboBox.h"

#include <QGroupBox>
#include <QLabel>

namespace {

enum class Control { Label, ComboBox, CheckBox };

// One control of a group box: what it is, where it stands, the parameter it shows.
struct PreferenceControl {
    Control control;
    QRect geometry;
    unsigned int parameterId;
};

const PreferenceControl UIControls[] = {
    {Control::Label, {10, 24, 110, 30}, KnobModeParameterId},
    {Control::ComboBox, {125, 25, 105, 30}, KnobModeParameterId},
    {Control::Label, {10, 54, 110, 30}, ProgramNumberBaseParameterId},
    {Control::ComboBox, {125, 55, 105, 30}, ProgramNumberBaseParameterId},
};

// The time format has no label: it stands on the row of the "Time" check box.
const PreferenceControl MessageControls[] = {
    {Control::CheckBox, {10, 26, 100, 20}, TimeStampParameterId},
    {Control::ComboBox, {125, 23, 105, 30}, MessageTimeFormatParameterId},
    {Control::CheckBox, {125, 56, 100, 20}, MessageDetailParameterId},
    {Control::CheckBox, {10, 56, 100, 20}, MessageColorParameterId},
    {Control::CheckBox, {10, 86, 100, 20}, MessageParsedParameterId},
    {Control::Label, {10, 111, 100, 30}, MessageFontSizeParameterId},
    {Control::ComboBox, {125, 111, 105, 30}, MessageFontSizeParameterId},
    {Control::Label, {10, 141, 100, 30}, MessageMiddleCParameterId},
    {Control::ComboBox, {125, 141, 105, 30}, MessageMiddleCParameterId},
};

template <size_t Count>
void addControls(QWidget* group, const PreferenceControl (&controls)[Count], ModelIF* model)
{
    for (const PreferenceControl& entry : controls) {
        const QString name = model->getModelParameterName(entry.parameterId);
        QWidget* widget = nullptr;
        switch (entry.control) {
        case Control::Label:
            widget = new QLabel(name, group);
            break;
        case Control::ComboBox: {
            auto* combo = new ComboBox(group);
            combo->setParameterId(entry.parameterId);
            widget = combo;
            break;
        }
        case Control::CheckBox: {
            auto* box = new CheckBox(name, group);
            box->setParameterId(entry.parameterId);
            widget = box;
            break;
        }
        }
        widget->setGeometry(entry.geometry);
    }
}

} // namespace

PreferencesView::PreferencesView(QWidget* parent, TulvarMidiModel* model)
    : QFrame(parent)
    , CommonViewHelper(model)
{
    setFrameStyle(MacFrameStyle);
    setFixedSize(PreferencesViewSize);

    auto* ui = new QGroupBox(tr(PreferencesUIGroupBoxName), this);
    ui->setGeometry(5, 5, 234, 90);
    addControls(ui, UIControls, model);

    auto* message = new QGroupBox(tr(PreferencesMessageGroupBoxName), this);
    message->setGeometry(5, 100, 234, 175);
    addControls(message, MessageControls, model);

    connectModel(this);
}
