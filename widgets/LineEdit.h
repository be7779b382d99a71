#pragma once

#include <QLineEdit>

#include <functional>

// The in-place editor of dials, seven-segment displays and spin boxes. Return, Enter and
// leaving it settle the text (decide) and announce editingFinished once.
class LineEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit LineEdit(QString const& text, QWidget* parent = nullptr);

    // With a QIntValidator: text that is no number becomes the initial text again, a number
    // outside the validator's range becomes the nearest end. Then a non-empty text emits
    // editingFinished().
    void decide();

    // Opens a fresh in-place editor on owner over rect, holding value and accepting minimum to
    // maximum. The previous editor, if any, is deleted without finishing its editing.
    static LineEdit* openInPlace(LineEdit* previous, QWidget* owner, int value, int minimum, int maximum,
                                 QRect const& rect, Qt::Alignment alignment);
    // Ends a visible in-place editor: a typed number goes to apply, the editor hides and the owner
    // takes the focus back. Hiding takes the editor's focus away, which finishes the editing a
    // second time; an editor that is not visible is left alone.
    static void finishInPlace(LineEdit* editor, QWidget* owner, std::function<void(int)> const& apply);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QString m_initialText;
};
