#pragma once

#include <QApplication>

// The application object: names the program (the settings folder follows the name) and opens
// project files that the platform asks it to open.
class CApplication : public QApplication {
    Q_OBJECT

public:
    CApplication(int& argc, char** argv);

protected:
    bool event(QEvent* event) override;
    // Shows the main window normally when minimised and opens the file as a project
    // (nothing while there is no main window).
    virtual void openFileFromPlatform(QString const& path);
};
