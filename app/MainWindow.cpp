#include "app/MainWindow.h"

#include "app/support/CommonTexts.h"
#include "model/TulvarMidiModel.h"

#include <QAction>
#include <QFileInfo>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>

MainWindow* MainWindow::m_pInstance = nullptr;

MainWindow::MainWindow(QWidget* parent, TulvarMidiModel* model)
    : QMainWindow(parent)
    , m_model(model)
{
    setWindowTitle(ApplicationName);
    resize(800, 600);
    createMenus();
}

MainWindow::~MainWindow()
{
    if (m_pInstance == this) {
        m_pInstance = nullptr;
    }
}

void MainWindow::createMenus()
{
    QMenu* fileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    fileMenu->addSeparator();
    QAction* quit = fileMenu->addAction(QStringLiteral("&Quit"));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    quit->setMenuRole(QAction::QuitRole);
    // Quitting closes the window exactly as its close button does.
    connect(quit, &QAction::triggered, this, &QWidget::close);
}

bool MainWindow::openFile(QString const& path)
{
    QFileInfo const info(path);
    if (!info.isFile() || !info.isReadable()) {
        QMessageBox::warning(this, ApplicationName, FileOpenFailedMessage);
        return false;
    }
    m_model->setProjectFilePath(info.absoluteFilePath());
    return true;
}

void MainWindow::setOpenedWithFile(bool openedWithFile)
{
    m_openedWithFile = openedWithFile;
}

bool MainWindow::transmitNoteOnByKeyDown(unsigned int)
{
    return false;
}

bool MainWindow::transmitNoteOffByKeyUp(unsigned int)
{
    return false;
}

bool MainWindow::closeAboutDialog()
{
    return false;
}
