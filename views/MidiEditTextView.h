#pragma once

#include "model/ModelAssistant.h"

#include <QPlainTextEdit>

class MidiEditGeneralView;
class TulvarMidiModel;

// The text area of a monitor (read-only, Shift+D clears it) or of a message editor (editable,
// F5/F6/F7 transmit and receive, accepts a dropped ".txt" file). New text is appended so that a
// view at the end follows it while a user who has scrolled up keeps the position.
class MidiEditTextView : public QPlainTextEdit, public ModelAssistant {
    Q_OBJECT

public:
    MidiEditTextView(MidiEditGeneralView* parent, TulvarMidiModel* model, bool readOnly);
    ~MidiEditTextView() override;

    void updateFontSize();
    void insertText(const QString& text);
    void clearText();

    void updateParameter(unsigned int id) override;

signals:
    void transmitShortcutKeyPressed();
    void receiveShorcutKeyPressed();
    void transmitAndReceiveShortcutKeyPressed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private slots:
    void editTextChanged();

private:
    // The first dropped ".txt" file, or an empty text when the drop is not one to accept.
    QString droppedTextFile(const QMimeData* data) const;
    bool isTransmitting() const;

    MidiEditGeneralView* m_generalView;
    TulvarMidiModel* m_model;
};
