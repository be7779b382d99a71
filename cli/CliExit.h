#pragma once

// The exit statuses of tulvar-midi-cli, as --help and the manual page list them.
enum CliExitStatus : int {
    ExitSuccess = 0,
    ExitFailed = 1,       // a timeout, a failed send, a file that could not be written
    ExitUsage = 2,        // a mistake on the command line or an unknown port name
    ExitMessageText = 3,  // a message text that does not convert
    ExitNoService = 4,    // the chosen MIDI service cannot be opened
};
