#include "app/DisplayCheck.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace DisplayCheck {

char const* const NoDisplayMessage =
    "tulvar-midi: no display found; start it in a desktop session (DISPLAY or WAYLAND_DISPLAY) "
    "or under xvfb-run.\n";

bool displayConfigured(QString const& platformOption)
{
    // As in Qt, the command line's -platform wins over the environment.
    QByteArray const platform = platformOption.isEmpty() ? qgetenv("QT_QPA_PLATFORM") : platformOption.toLocal8Bit();
    // Platforms that need no window system, such as offscreen, always work.
    if (!platform.isEmpty() && !platform.startsWith("xcb") && !platform.startsWith("wayland")) {
        return true;
    }
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

namespace {

QtMessageHandler previousHandler = nullptr;

void startMessageHandler(QtMsgType type, QMessageLogContext const& context, QString const& message)
{
    if (type == QtFatalMsg) {
        std::fputs(NoDisplayMessage, stderr);
        std::fflush(stderr);
        _exit(1);
    }
    // The platform plugin's own complaints about the display lead to the fatal message above.
    if (context.category != nullptr && qstrncmp(context.category, "qt.qpa", 6) == 0) {
        return;
    }
    if (previousHandler != nullptr) {
        previousHandler(type, context, message);
    } else {
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
    }
}

} // namespace

FatalStartGuard::FatalStartGuard()
{
    previousHandler = qInstallMessageHandler(startMessageHandler);
}

FatalStartGuard::~FatalStartGuard()
{
    qInstallMessageHandler(previousHandler);
    previousHandler = nullptr;
}

} // namespace DisplayCheck
