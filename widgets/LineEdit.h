#pragma once

#include <QLineEdit>

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

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QString m_initialText;
};
