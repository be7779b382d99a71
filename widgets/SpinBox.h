#pragma once

#include "model/ModelConnection.h"
#include "support/ValueRange.h"

#include <QSpinBox>

// A spin box bound to one integer parameter. Arrows, keys and finished typing write the
// parameter; Ctrl+click restores its default.
class SpinBox : public QSpinBox, public ModelConnection {
    Q_OBJECT

public:
    explicit SpinBox(QWidget* parent = nullptr);
    // An unbound spin box over a value range, right-aligned and showing the range's default.
    SpinBox(const ValueRange& range, QWidget* parent);

    void updateParameter(unsigned int id) override;
    void modelChanged() override;
    void stepBy(int steps) override;

    // Shows a value without writing the parameter.
    void setWidgetValue(int value);
    // The last value the user finished entering or a view set with setWidgetValue; the shown
    // value may still be half-typed.
    int committedValue() const { return m_lastValue; }
    // The default used when the model cannot give one (an unbound spin box).
    void setDefaultValue(int value);

signals:
    // The user changed the value (or asked for the default, see restoreDefaultValue).
    void widgetValueChanged(int value);

public slots:
    void inputCompletion();
    // Writes the default when it differs from the shown value; the display follows when the model
    // accepts it (always when unbound), widgetValueChanged is emitted either way.
    void restoreDefaultValue();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void commitUserValue(int value);

    bool m_contextMenuOpen = false;
    int m_lastValue = 0;
    int m_fallbackDefault = 0;
};
