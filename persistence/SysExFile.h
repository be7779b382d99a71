#pragma once

#include <QByteArray>
#include <QString>

// System exclusive files (.syx): the raw bytes of one or more messages from F0 to F7, back to
// back, as sysex librarians trade them. The message editor shows them as its hexadecimal text.
namespace SysExFile {

extern const char Suffix[];     // "syx"
extern const char FilterText[]; // for file dialogs

// A larger file would freeze the editor while it is coloured; no real dump comes near it.
constexpr qint64 MaximumSize = 16 * 1024 * 1024;

enum class LoadResult { Loaded, Unreadable, TooLarge };

// Reads the whole file. Any bytes load as they are: a damaged dump is shown, not refused.
[[nodiscard]] LoadResult load(QString const& path, QByteArray& bytes);

// Writes the bytes through a temporary file that replaces the old one only when complete.
[[nodiscard]] bool save(QString const& path, QByteArray const& bytes);

// Upper-case pairs separated by single spaces, a line break after every F7; bytes outside a
// system exclusive message stand on lines of their own, so every byte keeps its place. A line
// holds at most 16384 bytes (the longest message the program handles); a longer message
// continues on the next line.
QString formatAsText(QByteArray const& bytes);

// True when the path names a .syx file (the suffix in either letter case).
bool isSysExFile(QString const& path);

} // namespace SysExFile
