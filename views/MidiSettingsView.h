#pragma once

#include "model/CommonViewHelper.h"
#include "model/ModelAssistant.h"
#include "persistence/FileStream.h"
#include "persistence/WindowRestorationInfo.h"
#include "views/MainWindowIF.h"

#include <QFrame>

class ComboBox;
class QLabel;
class SpinBox;
class TulvarMidiModel;

// The port assignment: two inputs and two outputs chosen from the service's ports (the main
// window opens and closes them), a thru switch per port pair, a rescan button, and the bulk
// interval. The switches and the interval are bound parameters.
class MidiSettingsView : public QFrame,
                         public CommonViewHelper,
                         public WindowRestorationInfo,
                         public FileStream,
                         public ModelAssistant {
    Q_OBJECT

public:
    using PortDirection = MainWindowIF::PortDirection;

    MidiSettingsView(QWidget* parent, TulvarMidiModel* model);
    ~MidiSettingsView() override;

    // Fills `combo` with the main window's list for that port and selects the open port; a port
    // that is not in the list any more (its device went away) is closed.
    void createPortList(PortDirection direction, unsigned int group, ComboBox* combo);
    // Combo position to port index: the first entry ("No Assign") is no port.
    static unsigned int convertComboBoxIndexToPortIndex(int index);
    void setBulkIntervalWidgetEnabled(bool enabled);
    void updateParameter(unsigned int id) override;

    // The ports and switches are kept in the settings file, not in the project file.
    bool setDataStream(QDataStream& stream) override;
    bool getDataStream(QDataStream& stream) override;

    ComboBox* portComboBox(PortDirection direction, unsigned int group) const;
    QLabel* bulkIntervalLabel() const { return m_bulkIntervalLabel; }
    SpinBox* bulkIntervalSpinBox() const { return m_bulkIntervalSpinBox; }

public slots:
    void updatePortListPressed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Opens the chosen port for that group; a failed open puts the combo back on "No Assign".
    void portListChanged(PortDirection direction, unsigned int group, int index);

    TulvarMidiModel* m_model;
    // Indexed by [direction][group].
    ComboBox* m_portComboBoxes[2][2] = {};
    QLabel* m_bulkIntervalLabel = nullptr;
    SpinBox* m_bulkIntervalSpinBox = nullptr;
};
