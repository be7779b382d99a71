#pragma once

#include <QPixmap>
#include <QWidget>

class LineEdit;
class PushButton;

// A three-digit number drawn from a strip of digit images (leading zeros shown), with up and down
// buttons beside it, Ctrl-click reset, keys, wheel and a double-click editor.
class SevenSegment : public QWidget
{
    Q_OBJECT

public:
    explicit SevenSegment(QWidget* parent = nullptr);
    ~SevenSegment() override;

    // The ten digits 0-9 side by side; nothing is drawn while it is null.
    void setDigitPixmap(QPixmap const& strip);
    QPixmap const& digitPixmap() const { return m_digitStrip; }
    void setIncreaseButtonPixmap(QPixmap const& pixmap);
    void setDecreaseButtonPixmap(QPixmap const& pixmap);
    void setIncreaseButtonGeometry(QRect const& rect);
    void setDecreaseButtonGeometry(QRect const& rect);
    PushButton* increaseButton() const { return m_increaseButton; }
    PushButton* decreaseButton() const { return m_decreaseButton; }

    void setMinimum(int minimum) { m_minimum = minimum; }
    void setMaximum(int maximum) { m_maximum = maximum; }
    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    void setResetValue(int value) { m_resetValue = value; }
    int resetValue() const { return m_resetValue; }

    int value() const { return m_value; }
    int adjustValue(int value) const;
    void addStepToValue(int step);
    bool isVisibleLineEdit() const;
    LineEdit* lineEdit() const { return m_lineEdit; }

    // Left edge of each of the three digit cells, hundreds first.
    int digitCellX(int position) const;

public slots:
    void setValue(int value);
    void increase();
    void decrease();
    void inputCompletion();

signals:
    void valueChanged(int value);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    QPixmap m_digitStrip;
    LineEdit* m_lineEdit = nullptr;
    int m_value = 0;
    PushButton* m_increaseButton;
    PushButton* m_decreaseButton;
    int m_minimum = 0;
    int m_maximum = 127;
    int m_resetValue = 0;
    double m_wheelRemainder = 0.0;
};
