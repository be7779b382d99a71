#include "views/MidiEditGeneralView.h"

#include "support/CommonTexts.h"
#include "support/LookConstants.h"
#include "support/Utility.h"
#include "support/ValueRange.h"
#include "model/TulvarMidiModel.h"
#include "views/MainWindowIF.h"
#include "views/MidiEditTextView.h"
#include "views/ReferenceWidget.h"
#include "views/RepeatSettingsView.h"
#include "views/TextHighlighter.h"
#include "views/ViewConstants.h"

#include <QFileInfo>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

struct ToolBarEntry {
    const char* image;
    const char* menuText;
    void (MidiEditGeneralView::*slot)();
};

// A null image stands for a separator.
const ToolBarEntry ToolBarTable[] = {
    {":/images/file.png", NewMenuText, &MidiEditGeneralView::newMenuSelected},
    {":/images/open.png", OpenMenuText, &MidiEditGeneralView::openMenuSelected},
    {":/images/disk.png", SaveMenuText, &MidiEditGeneralView::saveMenuSelected},
    {nullptr, nullptr, nullptr},
    {":/images/tx.png", TransmitMenuText, &MidiEditGeneralView::transmitMenuSelected},
    {":/images/rx.png", ReceiveMenuText, &MidiEditGeneralView::receiveMenuSelected},
    {":/images/txrx.png", TransmitAndReceiveMenuText, &MidiEditGeneralView::transmitAndReceiveMenuSelected},
    {nullptr, nullptr, nullptr},
    {":/images/find.png", FindMenuText, &MidiEditGeneralView::searchMenuSelected},
};

} // namespace

MidiEditGeneralView::MidiEditGeneralView(MidiEditView* parent, TulvarMidiModel* model, MidiEditView::OpenMode mode)
    : QWidget(parent)
    , m_view(parent)
    , m_model(model)
    , m_openMode(mode)
    , m_repeatInterval(SysExSettingsIntervalValue.defaultValue)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    const bool monitor = !isEditor();
    if (!monitor) {
        m_toolBar = createToolBar();
        layout->addWidget(m_toolBar);
        m_repeatSettingsView = new RepeatSettingsView(this);
        m_repeatSettingsView->hide();
        layout->addWidget(m_repeatSettingsView);
    }

    m_textView = new MidiEditTextView(this, model, monitor);
    layout->addWidget(m_textView);

    if (monitor) {
        m_textView->setMaximumBlockCount(MonitorViewLineLimit);
        m_textView->setLineWrapMode(QPlainTextEdit::NoWrap);
        m_textView->setAcceptDrops(false);
        QPalette palette = m_textView->palette();
        palette.setColor(QPalette::Base, MonitorBackgroundColor);
        palette.setColor(QPalette::Text, MonitorTextColor);
        m_textView->setPalette(palette);
        m_highlighter = new TextHighlighter(m_textView->document(), model, MessageHighlightInfoTable,
                                            MessageHighlightInfoCount);
        changeHighLighter();
    } else {
        m_textView->setAcceptDrops(true);
        m_referenceWidget = new ReferenceWidget(this);
        m_referenceWidget->setFixedHeight(MidiEditSubViewHeight);
        m_referenceWidget->setTextEditWidget(m_textView);
        m_referenceWidget->hide();
        layout->addWidget(m_referenceWidget);
        m_repeatSettingsView->setTextEditWidget(m_textView);
        m_highlighter = new TextHighlighter(m_textView->document(), model, EditorHighlightInfoTable,
                                            EditorHighlightInfoCount);
        m_toolBar->setEnabled(isTransmissionIdle());
    }
    setFocusProxy(m_textView);
    m_model->registerModelAssistant(this);
}

MidiEditGeneralView::~MidiEditGeneralView()
{
    m_model->unregisterModelAssistant(this);
}

QToolBar* MidiEditGeneralView::createToolBar()
{
    auto* toolBar = new QToolBar(this);
    toolBar->setFixedHeight(MidiEditToolBarHeight);
    toolBar->setIconSize(MidiEditButtonSize);
    toolBar->setMovable(false);
    for (const ToolBarEntry& entry : ToolBarTable) {
        if (entry.image == nullptr) {
            toolBar->addSeparator();
            continue;
        }
        auto* button = new QToolButton(toolBar);
        QPixmap pixmap(QString::fromLatin1(entry.image));
        pixmap.setDevicePixelRatio(DevicePixelRatio);
        button->setIcon(QIcon(pixmap));
        button->setIconSize(MidiEditButtonSize);
        button->setFixedSize(MidiEditButtonSize);
        button->setAutoRaise(true);
        button->setToolTip(Utility::removeMenuOfModifierCharacter(QString::fromLatin1(entry.menuText)));
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QToolButton::pressed, this, entry.slot);
        toolBar->addWidget(button);
    }
    return toolBar;
}

bool MidiEditGeneralView::isEditor() const
{
    return m_openMode == MidiEditView::SystemExclusiveEdit || m_openMode == MidiEditView::SystemExclusiveReceive;
}

bool MidiEditGeneralView::isTransmissionIdle() const
{
    return m_model->getModelIntValue(MidiEditTransmissionStateParameterId) == 0;
}

void MidiEditGeneralView::setText(const QString& text)
{
    m_textView->setPlainText(text);
}

void MidiEditGeneralView::insertText(const QString& text)
{
    m_textView->insertText(text);
}

bool MidiEditGeneralView::getText(QString& text) const
{
    text = m_textView->toPlainText();
    return !text.isEmpty();
}

int MidiEditGeneralView::getRepeatInterval() const
{
    return m_repeatInterval;
}

MidiEditTextView* MidiEditGeneralView::textView() const
{
    return m_textView;
}

QToolBar* MidiEditGeneralView::toolBar() const
{
    return m_toolBar;
}

ReferenceWidget* MidiEditGeneralView::referenceWidget() const
{
    return m_referenceWidget;
}

RepeatSettingsView* MidiEditGeneralView::repeatSettingsView() const
{
    return m_repeatSettingsView;
}

TextHighlighter* MidiEditGeneralView::highlighter() const
{
    return m_highlighter;
}

void MidiEditGeneralView::updateParameter(unsigned int id)
{
    if (id == MidiEditTransmissionStateParameterId && m_toolBar != nullptr) {
        m_toolBar->setEnabled(isTransmissionIdle());
    } else if (id == MessageParsedParameterId && !isEditor()) {
        changeHighLighter();
    }
}

void MidiEditGeneralView::changeHighLighter()
{
    if (isEditor()) {
        m_highlighter->setHighlightInfo(EditorHighlightInfoTable, EditorHighlightInfoCount);
    } else if (m_model->getModelIntValue(MessageParsedParameterId) == 0) {
        m_highlighter->setHighlightInfo(StatusByteHighlightInfoTable, StatusByteHighlightInfoCount);
    } else {
        m_highlighter->setHighlightInfo(MessageHighlightInfoTable, MessageHighlightInfoCount);
    }
    if (m_textView->document()->isEmpty()) {
        m_highlighter->updateHilightInfo();
    }
}

void MidiEditGeneralView::transmitMenuSelected()
{
    if (!isTransmissionIdle()) {
        return;
    }
    m_model->setModelIntValue(MidiEditRepeatModeParameterId, m_repeatSettingsView->isRepeat() ? 1 : 0);
    m_repeatInterval = m_repeatSettingsView->getInterval();
    transmitMidi();
}

void MidiEditGeneralView::transmitMidi()
{
    const QTextCursor cursor = m_textView->textCursor();
    m_view->transmitMessage(cursor.hasSelection() ? cursor.selectedText() : m_textView->toPlainText());
}

void MidiEditGeneralView::receiveMenuSelected()
{
    if (!isTransmissionIdle()) {
        return;
    }
    if (m_textView->document()->isEmpty()) {
        m_view->setReceivedMessageEnabled(true);
    } else if (MainWindowIF* mainWindow = MainWindowIF::instance()) {
        mainWindow->openMessageEditor(true, QSize(), QString());
    }
}

void MidiEditGeneralView::transmitAndReceiveMenuSelected()
{
    if (!isTransmissionIdle()) {
        return;
    }
    if (MainWindowIF* mainWindow = MainWindowIF::instance()) {
        mainWindow->openMessageEditor(true, QSize(), QString());
    }
    transmitMenuSelected();
}

void MidiEditGeneralView::newMenuSelected()
{
    if (MainWindowIF* mainWindow = MainWindowIF::instance()) {
        mainWindow->openMessageEditor(false, m_view->size(), QString());
    }
}

QString MidiEditGeneralView::workingFolder() const
{
    return m_model->getModelStringValue(DumpFileWorkingDirectoryParameterId) + QLatin1Char('/');
}

void MidiEditGeneralView::storeWorkingFolder(const QString& path)
{
    m_model->setModelStringValue(DumpFileWorkingDirectoryParameterId, QFileInfo(path).absolutePath());
}

void MidiEditGeneralView::openMenuSelected()
{
    MainWindowIF* mainWindow = MainWindowIF::instance();
    if (mainWindow != nullptr) {
        mainWindow->clearKeyboardAllNoteEvent();
    }
    const QString path = Utility::showFileOpenDialog(
        this, QString::fromLatin1(OpenDialogTitleText), workingFolder(), QString::fromLatin1(TextFileFilterText),
        m_model->getModelDefaultStringValue(DumpFileWorkingDirectoryParameterId));
    if (!path.isEmpty()) {
        loadTextFile(path);
    }
}

void MidiEditGeneralView::loadTextFile(const QString& path)
{
    storeWorkingFolder(path);
    QString text;
    MainWindowIF* mainWindow = MainWindowIF::instance();
    if (!Utility::loadAtTextFileName(path, text)) {
        if (mainWindow != nullptr) {
            mainWindow->showErrorMessageBox(FileOpenFailedMessage);
        }
        return;
    }
    if (m_textView->document()->isEmpty()) {
        setText(text);
    } else if (mainWindow != nullptr) {
        mainWindow->openMessageEditor(false, m_view->size(), text);
    }
}

void MidiEditGeneralView::saveMenuSelected()
{
    if (MainWindowIF* mainWindow = MainWindowIF::instance()) {
        mainWindow->clearKeyboardAllNoteEvent();
    }
    const QString path = Utility::showFileSaveDialog(
        this, QString::fromLatin1(SaveDialogTitleText), workingFolder(), QString::fromLatin1(TextFileFilterText),
        m_model->getModelDefaultStringValue(DumpFileWorkingDirectoryParameterId));
    if (!path.isEmpty()) {
        saveTextFile(path);
    }
}

bool MidiEditGeneralView::saveTextFile(const QString& path)
{
    storeWorkingFolder(path);
    if (Utility::saveAtTextFileName(path, m_textView->toPlainText())) {
        return true;
    }
    if (MainWindowIF* mainWindow = MainWindowIF::instance()) {
        mainWindow->showErrorMessageBox(FileSaveFailedMessage);
    }
    return false;
}

void MidiEditGeneralView::searchMenuSelected()
{
    if (m_referenceWidget != nullptr) {
        m_referenceWidget->show();
    }
}

void MidiEditGeneralView::settingsMenuSelected()
{
    if (m_repeatSettingsView != nullptr) {
        m_repeatSettingsView->show();
    }
}
