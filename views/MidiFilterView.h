#pragma once

#include "model/CommonViewHelper.h"
#include "model/ModelAssistant.h"
#include "persistence/FileStream.h"
#include "persistence/WindowRestorationInfo.h"

#include <QFrame>
#include <QList>

class CheckBox;
class PushButton;
class QStackedWidget;
class TulvarMidiModel;
class UnstyledCheckBox;

// Which received messages the analyzer lets through: per channel, message kind, controller and
// system message. Every switch is a parameter, so the view only edits parameters; the settings
// file keeps them. Covered by a message while the parser is off.
class MidiFilterView : public QFrame,
                       public CommonViewHelper,
                       public WindowRestorationInfo,
                       public FileStream,
                       public ModelAssistant {
    Q_OBJECT

public:
    // The right-hand pages, in the order of the stacked widget.
    enum DetailPage { ControlChangePage = 0, SystemCommonPage = 1, SystemRealtimePage = 2 };

    MidiFilterView(QWidget* parent, TulvarMidiModel* model);
    ~MidiFilterView() override;

    void setFilterViewEnabled(bool enabled);
    void updateParameter(unsigned int id) override;

    // The filter is kept in parameters, not in the project file.
    bool setDataStream(QDataStream& stream) override;
    bool getDataStream(QDataStream& stream) override;

    QList<PushButton*> channelButtons() const { return m_channelButtons; }
    QList<CheckBox*> messageCheckBoxes() const { return m_messageCheckBoxes; }
    QStackedWidget* detailPages() const { return m_detailPages; }
    QWidget* disabledOverlay() const { return m_disabledOverlay; }

public slots:
    void releasedAllButton();
    void releasedNoneButton();
    void releasedControlChangeButton();
    void releasedSystemCommonButton();
    void releasedSystemRealtimeButton();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createChannelGroup();
    void createMessageGroup();
    void createDisabledOverlay();
    void setAllChannels(int value);

    TulvarMidiModel* m_model;
    UnstyledCheckBox* m_unstyledCheckBox;
    QList<PushButton*> m_channelButtons;
    QList<CheckBox*> m_messageCheckBoxes;
    QStackedWidget* m_detailPages = nullptr;
    QWidget* m_disabledOverlay = nullptr;
};
