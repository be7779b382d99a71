#include "views/RepeatSettingsView.h"

#include "support/LookConstants.h"
#include "support/ValueRange.h"
#include "views/ViewConstants.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QSpinBox>
#include <QToolButton>

namespace {

const QSize SettingsAreaSize(230, 23);
const QSize RepeatCheckBoxSize(70, 23);
const QRect IntervalLabelRect(70, 0, 80, 23);
const QRect IntervalSpinBoxRect(160, 0, 70, 23);

} // namespace

RepeatSettingsView::RepeatSettingsView(QWidget* parent)
    : QWidget(parent)
{
    setFixedHeight(MidiEditSubViewHeight);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(MidiEditSubViewMargin, MidiEditSubViewMargin, MidiEditSubViewMargin,
                               MidiEditSubViewMargin);

    auto* area = new QWidget(this);
    area->setFixedSize(SettingsAreaSize);
    m_repeatCheckBox = new QCheckBox(QString::fromLatin1(SysExSettingsRepeatValue.name), area);
    m_repeatCheckBox->setGeometry(QRect(QPoint(0, 0), RepeatCheckBoxSize));
    m_repeatCheckBox->setChecked(SysExSettingsRepeatValue.defaultValue != 0);
    auto* label = new QLabel(QString::fromLatin1(SysExSettingsIntervalValue.name), area);
    label->setGeometry(IntervalLabelRect);
    m_intervalSpinBox = new QSpinBox(area);
    m_intervalSpinBox->setGeometry(IntervalSpinBoxRect);
    m_intervalSpinBox->setRange(SysExSettingsIntervalValue.minimum, SysExSettingsIntervalValue.maximum);
    m_intervalSpinBox->setValue(SysExSettingsIntervalValue.defaultValue);
    m_intervalSpinBox->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    layout->addWidget(area);
    layout->addStretch();

    m_closeButton = new QToolButton(this);
    QPixmap pixmap(QStringLiteral(":/images/close.png"));
    pixmap.setDevicePixelRatio(DevicePixelRatio);
    m_closeButton->setIcon(QIcon(pixmap));
    m_closeButton->setIconSize(MidiEditButtonSize);
    m_closeButton->setFixedSize(MidiEditButtonSize);
    m_closeButton->setAutoRaise(true);
    m_closeButton->setToolTip(QString::fromLatin1(CloseText));
    layout->addWidget(m_closeButton);

    setAutoFillBackground(true);
    QPalette background = palette();
    background.setColor(QPalette::Window, SystemExclusiveSubViewBackgroundColor);
    setPalette(background);

    connect(m_closeButton, &QToolButton::pressed, this, &RepeatSettingsView::closeButtonPressed);
}

void RepeatSettingsView::setTextEditWidget(QWidget* textEdit)
{
    m_textEdit = textEdit;
}

bool RepeatSettingsView::isRepeat() const
{
    return m_repeatCheckBox->isChecked();
}

int RepeatSettingsView::getInterval() const
{
    return m_intervalSpinBox->value();
}

QCheckBox* RepeatSettingsView::repeatCheckBox() const
{
    return m_repeatCheckBox;
}

QSpinBox* RepeatSettingsView::intervalSpinBox() const
{
    return m_intervalSpinBox;
}

void RepeatSettingsView::closeButtonPressed()
{
    if (m_textEdit != nullptr) {
        m_textEdit->setFocus();
    }
    hide();
}

void RepeatSettingsView::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    QPainter painter(this);
    painter.setPen(Qt::gray);
    painter.drawLine(0, height() - 1, width(), height() - 1);
}
