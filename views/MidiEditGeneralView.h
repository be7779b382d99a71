#pragma once

#include "model/ModelAssistant.h"
#include "views/MidiEditView.h"

#include <QWidget>

class MidiEditTextView;
class QToolBar;
class ReferenceWidget;
class RepeatSettingsView;
class TextHighlighter;
class TulvarMidiModel;

// The text page of a monitor or message editor. Editors add the toolbar (new, open, save,
// transmit, receive, transmit and receive, find), the repeat settings panel above the text and
// the find bar below it.
class MidiEditGeneralView : public QWidget, public ModelAssistant {
    Q_OBJECT

public:
    MidiEditGeneralView(MidiEditView* parent, TulvarMidiModel* model, MidiEditView::OpenMode mode);
    ~MidiEditGeneralView() override;

    void setText(const QString& text);
    void insertText(const QString& text);
    bool getText(QString& text) const;
    // Loads a ".txt" file, or a ".syx" file as hexadecimal text, into this editor when it is
    // empty, otherwise into a new editor window; the file's folder becomes the working folder of
    // the file dialogs.
    void loadTextFile(const QString& path);
    // The text of a ".txt" file, or of a ".syx" file as hexadecimal text; on failure the message
    // to show.
    static bool readMessageFile(const QString& path, QString& text, QString& failure);
    // Writes the text to a ".txt" file, or the bytes it stands for to a ".syx" file.
    bool saveTextFile(const QString& path);
    int getRepeatInterval() const;

    MidiEditTextView* textView() const;
    QToolBar* toolBar() const;
    ReferenceWidget* referenceWidget() const;
    RepeatSettingsView* repeatSettingsView() const;
    TextHighlighter* highlighter() const;

    void updateParameter(unsigned int id) override;
    void changeHighLighter();

public slots:
    void newMenuSelected();
    void openMenuSelected();
    void saveMenuSelected();
    void transmitMenuSelected();
    void receiveMenuSelected();
    void transmitAndReceiveMenuSelected();
    void searchMenuSelected();
    void settingsMenuSelected();
    void transmitMidi();

private:
    bool isEditor() const;
    bool isTransmissionIdle() const;
    QToolBar* createToolBar();
    QString workingFolder() const;
    void storeWorkingFolder(const QString& path);

    MidiEditView* m_view;
    TulvarMidiModel* m_model;
    MidiEditView::OpenMode m_openMode;
    QToolBar* m_toolBar = nullptr;
    RepeatSettingsView* m_repeatSettingsView = nullptr;
    MidiEditTextView* m_textView;
    ReferenceWidget* m_referenceWidget = nullptr;
    TextHighlighter* m_highlighter;
    int m_repeatInterval;
};
