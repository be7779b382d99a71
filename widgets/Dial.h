#pragma once

#include "model/DialIF.h"
#include "model/ModelConnection.h"

#include <QColor>
#include <QDial>
#include <QMargins>
#include <QSize>

class LineEdit;

// The value knob of the tool views: a QDial bound to one parameter, with a gradient arc, the
// value printed in its centre, Ctrl-click reset, in-place numeric entry on a double-click of the
// number, and a vertical-drag mode chosen by the knob mode preference.
class Dial : public QDial, public ModelConnection, public DialIF
{
    Q_OBJECT

public:
    enum KnobMode { CircularKnobMode = 0, LinearKnobMode = 1 };

    explicit Dial(QWidget* parent = nullptr);
    ~Dial() override;

    void setKnobMode(int mode) override;
    QObject* dialObject() override { return this; }
    int knobMode() const { return m_knobMode; }

    void setValueSuffix(QString const& suffix);
    QString valueSuffix() const { return m_valueSuffix; }
    void setLineEditSize(QSize const& size) { m_lineEditSize = size; }
    QSize lineEditSize() const { return m_lineEditSize; }
    void setArcMargins(QMargins const& margins);
    QMargins arcMargins() const { return m_arcMargins; }
    void setArcColors(QColor const& start, QColor const& end);
    QColor arcStartColor() const { return m_arcStartColor; }
    QColor arcEndColor() const { return m_arcEndColor; }
    void setResetValue(int value) { m_resetValue = value; }
    int resetValue() const { return m_resetValue; }
    int deadZoneMargin() const { return m_deadZoneMargin; }

    // The in-place editor; null until the first double-click on the number.
    LineEdit* lineEdit() const { return m_lineEdit; }
    bool isVisibleLineEdit() const;

    // Geometry, all from the current widget size.
    QPoint getCenterPos() const;
    int getKnobRadius() const;
    QRect getRectangle() const;
    QRect getDialRect() const;
    QRect getLineEditRect() const;
    QRect clickInvalidRect() const;
    // The knob square grown by the arc insets: where the arc (and the LED wedge) are drawn.
    QRect getArcRect() const;
    double getLinearMagnification() const;

    void updateParameter(unsigned int id) override;

public slots:
    void inputCompletion();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_pressed = false;
    int m_knobMode = CircularKnobMode;
    int m_pressX = 0;
    int m_pressY = 0;
    int m_valueAtPress = 0;
    QString m_valueSuffix;
    LineEdit* m_lineEdit = nullptr;
    QSize m_lineEditSize;
    QMargins m_arcMargins;
    QColor m_arcStartColor = Qt::black;
    QColor m_arcEndColor = Qt::white;
    int m_resetValue = 0;
    int m_deadZoneMargin = 15;
};
