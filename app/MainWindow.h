#pragma once

#include <QMainWindow>

class TulvarMidiModel;

// The program's single top-level window.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    MainWindow(QWidget* parent, TulvarMidiModel* model);
    ~MainWindow() override;

    // The main window while the event loop runs; the event filter and the application object
    // reach it only through this pointer.
    static MainWindow* m_pInstance;

    // Opens a project file; false (after telling the user) when it cannot be read.
    bool openFile(QString const& path);
    // Set when a project file is named on the command line.
    void setOpenedWithFile(bool openedWithFile);

    // The computer keyboard as a note keyboard: true when the key played (or ended) a note.
    bool transmitNoteOnByKeyDown(unsigned int character);
    bool transmitNoteOffByKeyUp(unsigned int character);
    // Closes the About window; true when it was open.
    bool closeAboutDialog();

private:
    void createMenus();

    TulvarMidiModel* m_model;
    bool m_openedWithFile = false;
};
