#pragma once

#include <QString>

class QWidget;

// Services shared by the shell and the views.
namespace Utility {

// Reads a whole UTF-8 text file (up to its first NUL byte) into `text`. Returns false, leaving
// `text` as it was, when the path is empty or the file cannot be opened or read.
bool loadAtTextFileName(QString const& path, QString& text);

// Writes `text` as UTF-8, replacing the file's contents. Returns false when the path is empty or
// the file cannot be opened or written completely.
bool saveAtTextFileName(QString const& path, QString const& text);

// A window title from a menu text: drops ampersands and "..." ("&Preferences..." -> "Preferences").
QString removeMenuOfModifierCharacter(QString const& text);

// Where the dialogs start: the given path when its folder exists, else the fallback folder
// (the open dialog) or the fallback folder with the path's file name (the save dialog); the home
// folder stands in for a fallback folder that does not exist.
QString fileOpenDialogStartLocation(QString const& path, QString const& fallbackFolder);
QString fileSaveDialogStartLocation(QString const& path, QString const& fallbackFolder);

// The chosen path, or an empty text when the user cancels.
QString showFileOpenDialog(QWidget* parent, QString const& caption, QString const& path,
                           QString const& filter, QString const& fallbackFolder);
QString showFileSaveDialog(QWidget* parent, QString const& caption, QString const& path,
                           QString const& filter, QString const& fallbackFolder);

// Writes two upper-case hexadecimal digits and a NUL to `out` (3 bytes); returns 2.
int convertHexStringFromDecimalValue(char* out, unsigned char value);

// The full path of a file delivered with the program, `name`.`type`: first in the installed
// data folder (<prefix>/share/tulvar-midi), then next to the executable (the build tree).
// Empty when there is none.
QString getLicenseFilePath(char const* name, char const* type);

} // namespace Utility
