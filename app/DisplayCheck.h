#pragma once

#include <QString>

// Starting the program without a display must end with one clear line and a non-zero status,
// not with Qt's abort and a crash report.
namespace DisplayCheck {

// The one line said when no display can be reached.
extern char const* const NoDisplayMessage;

// False when Qt would need a window system and the environment names none. platformOption is
// the value of the command line's -platform, empty when absent.
bool displayConfigured(QString const& platformOption);

// While it lives, a display that is named but cannot be opened makes the program say
// NoDisplayMessage and exit with status 1 instead of aborting. Hold it around the construction
// of the application object only.
class FatalStartGuard {
public:
    FatalStartGuard();
    ~FatalStartGuard();
    FatalStartGuard(FatalStartGuard const&) = delete;
    FatalStartGuard& operator=(FatalStartGuard const&) = delete;
};

} // namespace DisplayCheck
