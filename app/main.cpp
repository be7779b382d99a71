#include "app/CApplication.h"
#include "app/CommandLine.h"
#include "app/DisplayCheck.h"
#include "app/MainWindow.h"
#include "app/NativeEventFilter.h"
#include "app/QuitSignalHandler.h"
#include "support/ImageResources.h"
#include "midi/MidiService.h"
#include "midi/MidiServiceFactory.h"
#include "model/TulvarMidiModel.h"

#include <QStringList>

#include <cstdio>
#include <memory>

namespace {

QStringList argumentList(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }
    return arguments;
}

} // namespace

int main(int argc, char** argv)
{
    // Answered before any window system is needed, so that they work anywhere.
    CommandLine const commandLine =
        CommandLine::parse(argumentList(argc, argv), QString::fromLocal8Bit(qgetenv("TULVAR_MIDI_BACKEND")));
    if (!commandLine.error.isEmpty()) {
        std::fprintf(stderr, "tulvar-midi: %s\nTry 'tulvar-midi --help'.\n", qPrintable(commandLine.error));
        return 2;
    }
    if (commandLine.showHelp) {
        std::fputs(qPrintable(CommandLine::usage()), stdout);
        return 0;
    }
    if (commandLine.showVersion) {
        std::fputs(qPrintable(CommandLine::versionText()), stdout);
        return 0;
    }
    if (!commandLine.warning.isEmpty()) {
        std::fprintf(stderr, "tulvar-midi: %s\n", qPrintable(commandLine.warning));
    }
    if (!DisplayCheck::displayConfigured(commandLine.platform)) {
        std::fputs(DisplayCheck::NoDisplayMessage, stderr);
        return 1;
    }

    registerImageResources();
    auto model = std::make_unique<TulvarMidiModel>();
    std::unique_ptr<CApplication> application;
    {
        DisplayCheck::FatalStartGuard const guard;
        application = std::make_unique<CApplication>(argc, argv);
    }
    // From here on a quit signal is kept until the event loop runs, instead of killing the program.
    auto quitSignals = std::make_unique<QuitSignalHandler>();
    auto filter = std::make_unique<NativeEventFilter>();
    application->installEventFilter(filter.get());

    // Outlives the main window, which closes its ports in its destructor.
    std::unique_ptr<MidiService> const midiService = MidiServiceFactory::create(commandLine.midiBackendOption);
    auto mainWindow = std::make_unique<MainWindow>(nullptr, model.get(), *midiService);
    MainWindow::m_pInstance = mainWindow.get();
    QObject::connect(quitSignals.get(), &QuitSignalHandler::quitRequested, mainWindow.get(),
                     &MainWindow::quitWithoutConfirmation);
    if (!commandLine.projectFile.isEmpty()) {
        mainWindow->setOpenedWithFile(true);
        mainWindow->show();
        mainWindow->openFile(commandLine.projectFile);
    } else {
        mainWindow->show();
    }

    // A quit signal during the opening of a project file may have closed the window already.
    int const exitCode = mainWindow->isVisible() ? application->exec() : 0;

    MainWindow::m_pInstance = nullptr;
    releaseImageResources();
    mainWindow.reset();
    application->removeEventFilter(filter.get());
    filter.reset();
    quitSignals.reset();
    application.reset();
    model.reset();
    return exitCode;
}
