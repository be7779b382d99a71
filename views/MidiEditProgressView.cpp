#include "views/MidiEditProgressView.h"

#include "support/CommonTexts.h"
#include "support/LookConstants.h"
#include "model/TulvarMidiModel.h"
#include "views/MidiEditView.h"
#include "views/ViewConstants.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

MidiEditProgressView::MidiEditProgressView(MidiEditView* parent, TulvarMidiModel* model)
    : QWidget(parent)
    , m_view(parent)
    , m_model(model)
    , m_label(new QLabel(this))
    , m_button(new QPushButton(QString::fromLatin1(OKText), this))
{
    auto* layout = new QVBoxLayout(this);
    layout->addStretch();
    m_label->setAlignment(Qt::AlignCenter);
    m_label->setWordWrap(true);
    QPalette labelPalette = m_label->palette();
    labelPalette.setColor(QPalette::WindowText, DisabledViewMessageTextColor);
    m_label->setPalette(labelPalette);
    layout->addWidget(m_label);
    layout->addWidget(m_button, 0, Qt::AlignHCenter);
    layout->addStretch();

    connect(m_button, &QPushButton::released, this, &MidiEditProgressView::releasedButton);
    m_model->registerModelAssistant(this);
    // A receiving editor opens on this page: it must say at once why nothing can arrive.
    updateMessageFromModel();
}

MidiEditProgressView::~MidiEditProgressView()
{
    m_model->unregisterModelAssistant(this);
}

QString MidiEditProgressView::byteCountText(unsigned int count)
{
    return QString::number(count) + QLatin1String(count == 1 ? ByteText : BytesText);
}

void MidiEditProgressView::setState(State state)
{
    m_state = state;
    m_button->setText(QString::fromLatin1(state == Transmitting ? CancelText : OKText));
}

void MidiEditProgressView::setProgressBarEnabled(bool on, int minimum, int maximum)
{
    if (on) {
        if (minimum < maximum && m_progressBar == nullptr) {
            m_progressBar = new QProgressBar(this);
            m_progressBar->setTextVisible(false);
            m_progressBar->setRange(minimum, maximum);
            m_progressBar->setValue(minimum);
            static_cast<QVBoxLayout*>(layout())->insertWidget(0, m_progressBar);
            m_progressBar->show();
        }
        setState(Transmitting);
    } else {
        delete m_progressBar;
        m_progressBar = nullptr;
        setState(Idle);
    }
    m_value = 0;
    m_total = 0;
}

void MidiEditProgressView::setProgressBarValue(int value)
{
    m_value = value;
    if (m_progressBar != nullptr) {
        m_progressBar->setValue(value);
    }
    m_label->setText(byteCountText(unsigned(value)));
}

void MidiEditProgressView::setTotalCommunicationSize(unsigned int size)
{
    m_total = size;
    m_label->setText(byteCountText(size));
}

unsigned int MidiEditProgressView::totalCommunicationSize() const
{
    return m_total;
}

void MidiEditProgressView::setErrorMessage(const QString& text)
{
    setState(Error);
    m_label->setText(text);
}

void MidiEditProgressView::updateMessage(bool repeating, bool parser)
{
    // A running transmission shows its progress and a failure keeps its text until "OK".
    if (m_state == Transmitting || m_state == Error) {
        return;
    }
    if (repeating) {
        m_label->setText(QString::fromLatin1(UnableToReceiveWhileRepeatingMessage));
    } else if (!parser) {
        m_label->setText(DisabledFunctionMessage.arg(QString::fromLatin1(MessageReceiveText)));
    } else {
        m_label->setText(byteCountText(m_total));
    }
}

void MidiEditProgressView::updateMessageFromModel()
{
    updateMessage(m_model->getModelIntValue(MidiEditRepeatModeParameterId) != 0,
                  m_model->getModelIntValue(MessageParsedParameterId) != 0);
}

void MidiEditProgressView::updateParameter(unsigned int id)
{
    if (id == MidiEditRepeatModeParameterId || id == MessageParsedParameterId) {
        updateMessageFromModel();
    }
}

void MidiEditProgressView::hideView()
{
    setProgressBarEnabled(false);
    m_view->setReceivedMessageEnabled(false);
}

void MidiEditProgressView::releasedButton()
{
    hideView();
}

MidiEditProgressView::State MidiEditProgressView::state() const
{
    return m_state;
}

QString MidiEditProgressView::message() const
{
    return m_label->text();
}

QProgressBar* MidiEditProgressView::progressBar() const
{
    return m_progressBar;
}

QPushButton* MidiEditProgressView::button() const
{
    return m_button;
}

void MidiEditProgressView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        releasedButton();
        return;
    }
    QWidget::keyPressEvent(event);
}

void MidiEditProgressView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    updateMessageFromModel();
    m_button->setFocus();
}

void MidiEditProgressView::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    QPainter painter(this);
    painter.fillRect(rect(), DisabledViewColor);
}
