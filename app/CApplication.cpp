#include "app/CApplication.h"

#include "app/MainWindow.h"
#include "support/CommonTexts.h"
#include "support/LookConstants.h"

#include <QFileOpenEvent>

CApplication::CApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("tulvar-midi"));
    setApplicationVersion(ApplicationVersion);
    QFont applicationFont = font();
    applicationFont.setPixelSize(TulvarMidiFontSize);
    setFont(applicationFont);
}

bool CApplication::event(QEvent* event)
{
    if (event->type() == QEvent::FileOpen && activeModalWidget() == nullptr) {
        openFileFromPlatform(static_cast<QFileOpenEvent*>(event)->file());
    }
    return QApplication::event(event);
}

void CApplication::openFileFromPlatform(QString const& path)
{
    MainWindow* mainWindow = MainWindow::m_pInstance;
    if (mainWindow == nullptr) {
        return;
    }
    if (mainWindow->isMinimized()) {
        mainWindow->showNormal();
    }
    mainWindow->openFile(path);
}
