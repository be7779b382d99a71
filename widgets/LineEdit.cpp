#include "widgets/LineEdit.h"

#include <QApplication>
#include <QFocusEvent>
#include <QIntValidator>
#include <QKeyEvent>
#include <QSignalBlocker>

LineEdit::LineEdit(QString const& text, QWidget* parent)
    : QLineEdit(text, parent)
    , m_initialText(text)
{
}

void LineEdit::decide()
{
    if (auto const* validator = qobject_cast<QIntValidator const*>(this->validator())) {
        bool ok = false;
        int const value = text().toInt(&ok, 10);
        if (!ok) {
            setText(m_initialText);
        } else if (value <= validator->bottom()) {
            setText(QString::number(validator->bottom()));
        } else if (value >= validator->top()) {
            setText(QString::number(validator->top()));
        }
    }
    if (!text().isEmpty()) {
        emit editingFinished();
    }
}

void LineEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        decide();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void LineEdit::focusOutEvent(QFocusEvent* event)
{
    QWidget const* popup = QApplication::activePopupWidget();
    bool const toOwnPopup = event->reason() == Qt::PopupFocusReason && popup && popup->parentWidget() == this;
    // A hidden editor has already been dealt with by its owner.
    if (toOwnPopup || !isVisible()) {
        QLineEdit::focusOutEvent(event);
        return;
    }
    decide();
    // QLineEdit would announce editingFinished a second time.
    QSignalBlocker const blocker(this);
    QLineEdit::focusOutEvent(event);
}

LineEdit* LineEdit::openInPlace(LineEdit* previous, QWidget* owner, int value, int minimum, int maximum,
                                QRect const& rect, Qt::Alignment alignment)
{
    if (previous) {
        QObject::disconnect(previous, &QLineEdit::editingFinished, owner, nullptr);
        delete previous;
    }
    auto* editor = new LineEdit(QString::number(value), owner);
    editor->setGeometry(rect);
    editor->selectAll();
    editor->setValidator(new QIntValidator(minimum, maximum, editor));
    editor->setAlignment(alignment);
    editor->show();
    editor->setFocus();
    return editor;
}

void LineEdit::finishInPlace(LineEdit* editor, QWidget* owner, std::function<void(int)> const& apply)
{
    if (!editor || !editor->isVisible())
        return;
    bool ok = false;
    int const entered = editor->text().toInt(&ok, 10);
    if (ok)
        apply(entered);
    editor->hide();
    owner->setFocus();
}
