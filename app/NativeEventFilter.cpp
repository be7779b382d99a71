#include "app/NativeEventFilter.h"

#include "app/MainWindow.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

NativeEventFilter::NativeEventFilter(QObject* parent)
    : QObject(parent)
{
}

bool NativeEventFilter::eventFilter(QObject* watched, QEvent* event)
{
    // Input reaches the window first and is then passed on to the widgets (and, when ignored,
    // to their parents); acting on the window's delivery alone sees each event exactly once.
    if (!watched->isWindowType()) {
        return false;
    }
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        return mouseButtonDown();
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        auto const* key = static_cast<QKeyEvent const*>(event);
        // A held key sounds one note: the window system repeats it as release/press pairs.
        if (key->isAutoRepeat() || key->text().isEmpty()) {
            return false;
        }
        if (key->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier)) {
            return false;
        }
        unsigned int const character = key->text().at(0).unicode();
        if (event->type() == QEvent::KeyRelease) {
            // Released even under a modal window, so that no note is left sounding.
            return keyUp(character);
        }
        if (QApplication::activeModalWidget() != nullptr) {
            return false;
        }
        return keyDown(character);
    }
    default:
        return false;
    }
}

bool NativeEventFilter::isTyping()
{
    if (QApplication::activePopupWidget() != nullptr) {
        return true;
    }
    QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr) {
        return false;
    }
    if (qobject_cast<QLineEdit*>(focus) != nullptr) {
        return true;
    }
    if (auto* plainText = qobject_cast<QPlainTextEdit*>(focus)) {
        return !plainText->isReadOnly();
    }
    if (auto* richText = qobject_cast<QTextEdit*>(focus)) {
        return !richText->isReadOnly();
    }
    return qobject_cast<QAbstractSpinBox*>(focus) != nullptr;
}

bool NativeEventFilter::keyDown(unsigned int character)
{
    return MainWindow::m_pInstance != nullptr && MainWindow::m_pInstance->transmitNoteOnByKeyDown(character);
}

bool NativeEventFilter::keyUp(unsigned int character)
{
    return MainWindow::m_pInstance != nullptr && MainWindow::m_pInstance->transmitNoteOffByKeyUp(character);
}

bool NativeEventFilter::mouseButtonDown()
{
    return MainWindow::m_pInstance != nullptr && MainWindow::m_pInstance->closeAboutDialog();
}
