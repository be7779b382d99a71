#include "views/MidiEditRepeatMessageView.h"

#include "support/LookConstants.h"
#include "views/MidiEditView.h"
#include "views/ViewConstants.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

MidiEditRepeatMessageView::MidiEditRepeatMessageView(MidiEditView* parent)
    : QWidget(parent)
    , m_view(parent)
    , m_button(new QPushButton(QString::fromLatin1(CancelText), this))
{
    auto* layout = new QVBoxLayout(this);
    layout->addStretch();
    auto* label = new QLabel(QString::fromLatin1(RetransmittingMessage), this);
    label->setAlignment(Qt::AlignCenter);
    QPalette labelPalette = label->palette();
    labelPalette.setColor(QPalette::WindowText, DisabledViewMessageTextColor);
    label->setPalette(labelPalette);
    layout->addWidget(label);
    layout->addWidget(m_button, 0, Qt::AlignHCenter);
    layout->addStretch();
    connect(m_button, &QPushButton::released, this, &MidiEditRepeatMessageView::releasedButton);
}

void MidiEditRepeatMessageView::hideView()
{
    m_view->changeView(MidiEditView::General);
    m_view->stopRepeatTransmittion();
}

void MidiEditRepeatMessageView::releasedButton()
{
    hideView();
}

QPushButton* MidiEditRepeatMessageView::button() const
{
    return m_button;
}

void MidiEditRepeatMessageView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        releasedButton();
        return;
    }
    QWidget::keyPressEvent(event);
}

void MidiEditRepeatMessageView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    m_button->setFocus();
}

void MidiEditRepeatMessageView::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    QPainter painter(this);
    painter.fillRect(rect(), DisabledViewColor);
}
