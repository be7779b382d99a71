#pragma once

#include <QObject>

// Sees every key press, key release and mouse-button press before any widget does, so that the
// computer keyboard plays notes whichever window has the focus, and a click anywhere closes the
// About window. Installed on the application object.
class NativeEventFilter : public QObject {
    Q_OBJECT

public:
    explicit NativeEventFilter(QObject* parent = nullptr);

    bool eventFilter(QObject* watched, QEvent* event) override;

    // True while keys are meant as text rather than notes: a popup is open, or the focus is in a
    // line edit (read-only too: its keys still move and select), a spin box or an editable text.
    static bool isTyping();

protected:
    // What the filter asks of the main window (MainWindow::m_pInstance; nothing while it is null).
    // Each returns true when the event is used up.
    virtual bool keyDown(unsigned int character);
    virtual bool keyUp(unsigned int character);
    virtual bool mouseButtonDown();
};
