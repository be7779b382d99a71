#include "views/ReferenceWidget.h"

#include "support/LookConstants.h"
#include "views/ViewConstants.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolButton>

namespace {

const QColor FoundSelectionColor(0, 120, 215);

QToolButton* makeImageButton(QWidget* parent, const char* image, const char* toolTip)
{
    auto* button = new QToolButton(parent);
    QPixmap pixmap(QString::fromLatin1(image));
    pixmap.setDevicePixelRatio(DevicePixelRatio);
    button->setIcon(QIcon(pixmap));
    button->setIconSize(MidiEditButtonSize);
    button->setFixedSize(MidiEditButtonSize);
    button->setAutoRaise(true);
    button->setToolTip(QString::fromLatin1(toolTip));
    return button;
}

bool isCommand(const QKeyEvent* event, Qt::KeyboardModifiers extra = Qt::NoModifier)
{
    return (event->modifiers() & ~Qt::KeypadModifier) == (Qt::ControlModifier | extra);
}

} // namespace

ReferenceWidget::ReferenceWidget(QWidget* parent)
    : QWidget(parent)
    , m_searchField(new QLineEdit(this))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(MidiEditSubViewMargin, MidiEditSubViewMargin, MidiEditSubViewMargin,
                               MidiEditSubViewMargin);
    layout->addWidget(m_searchField);

    auto* holder = new QWidget(this);
    holder->setFixedSize(2 * MidiEditButtonSize.width(), MidiEditButtonSize.height());
    m_previousButton = makeImageButton(holder, ":/images/prev.png", PreviousText);
    m_nextButton = makeImageButton(holder, ":/images/next.png", NextText);
    m_nextButton->move(MidiEditButtonSize.width(), 0);
    layout->addWidget(holder);

    m_closeButton = makeImageButton(this, ":/images/close.png", CloseText);
    layout->addWidget(m_closeButton);

    setAutoFillBackground(true);
    QPalette background = palette();
    background.setColor(QPalette::Window, SystemExclusiveSubViewBackgroundColor);
    setPalette(background);

    connect(m_previousButton, &QToolButton::pressed, this, &ReferenceWidget::prevButtonPressed);
    connect(m_nextButton, &QToolButton::pressed, this, &ReferenceWidget::nextButtonPressed);
    connect(m_closeButton, &QToolButton::pressed, this, &ReferenceWidget::closeButtonPressed);
    m_searchField->installEventFilter(this);
}

void ReferenceWidget::setTextEditWidget(QPlainTextEdit* textEdit)
{
    m_textEdit = textEdit;
    // A found match must stay visibly selected while the focus is in the search field.
    QPalette palette = textEdit->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight, FoundSelectionColor);
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText, Qt::white);
    textEdit->setPalette(palette);
    textEdit->installEventFilter(this);
}

QLineEdit* ReferenceWidget::searchField() const
{
    return m_searchField;
}

void ReferenceWidget::nextButtonPressed()
{
    search(m_searchField->text(), false);
}

void ReferenceWidget::prevButtonPressed()
{
    search(m_searchField->text(), true);
}

void ReferenceWidget::closeButtonPressed()
{
    if (m_textEdit != nullptr) {
        m_textEdit->setFocus();
    }
    hide();
}

bool ReferenceWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || m_textEdit == nullptr) {
        return QWidget::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_F && isCommand(key)) {
        show();
        m_searchField->setFocus();
        m_searchField->selectAll();
        return true;
    }
    if (key->key() == Qt::Key_G && (isCommand(key) || isCommand(key, Qt::ShiftModifier))) {
        show();
        search(m_searchField->text(), key->modifiers() & Qt::ShiftModifier);
        return true;
    }
    if (key->key() == Qt::Key_Escape && isVisible()) {
        closeButtonPressed();
        return true;
    }
    if (watched == m_searchField && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
        nextButtonPressed();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void ReferenceWidget::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    m_searchField->setFocus();
    if (!m_searchField->text().isEmpty()) {
        m_searchField->selectAll();
    }
}

bool ReferenceWidget::search(const QString& text, bool backwards)
{
    if (text.isEmpty() || m_textEdit == nullptr) {
        return false;
    }
    QTextCursor start = m_textEdit->textCursor();
    if (start.hasSelection()) {
        start.setPosition(backwards ? start.anchor() : start.position());
    }
    QTextCursor found = find(text, start, backwards);
    if (found.isNull()) {
        QTextCursor wrapped(m_textEdit->document());
        wrapped.movePosition(backwards ? QTextCursor::End : QTextCursor::Start);
        found = find(text, wrapped, backwards);
    }
    if (found.isNull()) {
        return false;
    }
    m_textEdit->setTextCursor(found);
    return true;
}

QTextCursor ReferenceWidget::find(const QString& text, QTextCursor from, bool backwards) const
{
    if (backwards) {
        moveBeginningOfCurrentBlockToBackOfPreviousBlock(from);
    }
    return m_textEdit->document()->find(text, from, backwards ? QTextDocument::FindBackward : QTextDocument::FindFlags());
}

void ReferenceWidget::moveBeginningOfCurrentBlockToBackOfPreviousBlock(QTextCursor& cursor)
{
    while (cursor.atBlockStart() && cursor.position() > 0) {
        cursor.movePosition(QTextCursor::PreviousCharacter);
    }
}
