#include "views/MidiEditTextView.h"

#include "support/LookConstants.h"
#include "model/TulvarMidiModel.h"
#include "views/MidiEditGeneralView.h"
#include "views/ViewConstants.h"

#include <QContextMenuEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QShortcut>
#include <QTextCursor>
#include <QUrl>

namespace {

// The scroll bar steps within which the view still counts as being at the end.
constexpr int FollowEndSlack = 3;

const char UriListMimeType[] = "text/uri-list";

// A menu entry showing its key, without installing a shortcut: the keys are handled where the
// text area sees them, so that several editors never compete for one shortcut.
QString menuText(const char* text, const char* key)
{
    return QString::fromLatin1(text) + QLatin1Char('\t') + QString::fromLatin1(key);
}

} // namespace

MidiEditTextView::MidiEditTextView(MidiEditGeneralView* parent, TulvarMidiModel* model, bool readOnly)
    : QPlainTextEdit(parent)
    , m_generalView(parent)
    , m_model(model)
{
    setReadOnly(readOnly);
    updateFontSize();
    if (readOnly) {
        auto* clear = new QShortcut(QKeySequence(Qt::SHIFT + Qt::Key_D), this, nullptr, nullptr, Qt::WidgetShortcut);
        connect(clear, &QShortcut::activated, this, &MidiEditTextView::clearText);
    } else {
        connect(this, &MidiEditTextView::transmitShortcutKeyPressed, parent, &MidiEditGeneralView::transmitMenuSelected);
        connect(this, &MidiEditTextView::receiveShorcutKeyPressed, parent, &MidiEditGeneralView::receiveMenuSelected);
        connect(this, &MidiEditTextView::transmitAndReceiveShortcutKeyPressed, parent,
                &MidiEditGeneralView::transmitAndReceiveMenuSelected);
    }
    connect(this, &QPlainTextEdit::textChanged, this, &MidiEditTextView::editTextChanged);
    m_model->registerModelAssistant(this);
}

MidiEditTextView::~MidiEditTextView()
{
    m_model->unregisterModelAssistant(this);
}

void MidiEditTextView::updateFontSize()
{
    QFont font = TulvarMidiFont;
    font.setPixelSize(m_model->getModelIntValue(MessageFontSizeParameterId) == 0 ? TulvarMidiFontSize
                                                                                : TulvarMidiFontLargeSize);
    setFont(font);
    insertText(QString());
}

void MidiEditTextView::insertText(const QString& text)
{
    QScrollBar* bar = verticalScrollBar();
    const bool followEnd = bar->value() >= bar->maximum() - FollowEndSlack;

    // Lines beyond the limit would be dropped again at once; a flood of them costs no layout.
    QString inserted = text;
    const int limit = maximumBlockCount();
    if (limit > 0) {
        int position = inserted.size();
        for (int lines = 0; lines < limit && position > 0; ++lines) {
            position = inserted.lastIndexOf(QLatin1Char('\n'), position - 1);
            if (position < 0) {
                break;
            }
        }
        if (position > 0) {
            inserted = inserted.mid(position);
        }
    }

    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    // Every monitor line starts with a line feed; the first one must not leave an empty line.
    cursor.insertText(document()->isEmpty() ? inserted.trimmed() : inserted);

    if (followEnd) {
        bar->setValue(bar->maximum());
    }
}

void MidiEditTextView::clearText()
{
    clear();
}

void MidiEditTextView::updateParameter(unsigned int id)
{
    if (id == MessageFontSizeParameterId) {
        updateFontSize();
    }
}

void MidiEditTextView::editTextChanged()
{
    if (!isReadOnly() && m_model->getParameterEditFlag() != ParameterEditFlagChanged) {
        m_model->setParameterEditFlag(ParameterEditFlagChanged);
    }
}

void MidiEditTextView::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_F5:
        emit transmitShortcutKeyPressed();
        return;
    case Qt::Key_F6:
        emit receiveShorcutKeyPressed();
        return;
    case Qt::Key_F7:
        emit transmitAndReceiveShortcutKeyPressed();
        return;
    case Qt::Key_R:
        if (!isReadOnly() && (event->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier) {
            m_generalView->settingsMenuSelected();
            return;
        }
        break;
    default:
        break;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void MidiEditTextView::contextMenuEvent(QContextMenuEvent* event)
{
    if (!isReadOnly() && isTransmitting()) {
        return;
    }
    QMenu* menu = createStandardContextMenu();
    MidiEditGeneralView* page = m_generalView;
    if (isReadOnly()) {
        menu->addAction(menuText(ClearMenuText, "Shift+D"), this, &MidiEditTextView::clearText);
    } else {
        menu->addSeparator();
        menu->addAction(QString::fromLatin1(NewMenuText), page, &MidiEditGeneralView::newMenuSelected);
        menu->addAction(QString::fromLatin1(OpenMenuText), page, &MidiEditGeneralView::openMenuSelected);
        menu->addAction(QString::fromLatin1(SaveMenuText), page, &MidiEditGeneralView::saveMenuSelected);
        menu->addSeparator();
        menu->addAction(menuText(TransmitMenuText, "F5"), page, &MidiEditGeneralView::transmitMenuSelected);
        menu->addAction(menuText(ReceiveMenuText, "F6"), page, &MidiEditGeneralView::receiveMenuSelected);
        menu->addAction(menuText(TransmitAndReceiveMenuText, "F7"), page,
                        &MidiEditGeneralView::transmitAndReceiveMenuSelected);
        menu->addSeparator();
        menu->addAction(menuText(FindMenuText, "Ctrl+F"), page, &MidiEditGeneralView::searchMenuSelected);
        menu->addSeparator();
        menu->addAction(menuText(RepeatSettingsMenuText, "Ctrl+R"), page, &MidiEditGeneralView::settingsMenuSelected);
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

bool MidiEditTextView::isTransmitting() const
{
    return m_model->getModelIntValue(MidiEditTransmissionStateParameterId) == 1;
}

QString MidiEditTextView::droppedTextFile(const QMimeData* data) const
{
    if (isReadOnly() || data == nullptr || !data->hasFormat(QString::fromLatin1(UriListMimeType)) || isTransmitting()) {
        return QString();
    }
    const QList<QUrl> urls = data->urls();
    if (urls.isEmpty()) {
        return QString();
    }
    const QString path = urls.first().toLocalFile();
    if (QFileInfo(path).completeSuffix() != QLatin1String(DumpFileExtension)) {
        return QString();
    }
    return path;
}

void MidiEditTextView::dragEnterEvent(QDragEnterEvent* event)
{
    if (droppedTextFile(event->mimeData()).isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
}

void MidiEditTextView::dragMoveEvent(QDragMoveEvent* event)
{
    if (droppedTextFile(event->mimeData()).isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
}

void MidiEditTextView::dropEvent(QDropEvent* event)
{
    const QString path = droppedTextFile(event->mimeData());
    if (path.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    m_generalView->loadTextFile(path);
}
