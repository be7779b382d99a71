#include "persistence/SysExFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace SysExFile {

const char Suffix[] = "syx";
const char FilterText[] = "System Exclusive Files (*.syx)";

namespace {

constexpr unsigned char SysExStart = 0xF0;
constexpr unsigned char SysExEnd = 0xF7;
// The longest exclusive the program sends or receives whole. A longer run of bytes continues on
// the next line: an editor lays out one line of megabytes far too slowly to be usable.
constexpr int LineBytes = 16384;

} // namespace

LoadResult load(QString const& path, QByteArray& bytes)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        return LoadResult::Unreadable;
    }
    if (file.size() > MaximumSize) {
        return LoadResult::TooLarge;
    }
    bytes = file.readAll();
    return file.error() == QFileDevice::NoError ? LoadResult::Loaded : LoadResult::Unreadable;
}

bool save(QString const& path, QByteArray const& bytes)
{
    if (path.isEmpty()) {
        return false;
    }
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

QString formatAsText(QByteArray const& bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    QByteArray text;
    text.reserve(bytes.size() * 3 + 1);
    bool lineOpen = false;
    int lineBytes = 0;
    auto endLine = [&] {
        if (lineOpen) {
            text.append('\n');
            lineOpen = false;
            lineBytes = 0;
        }
    };
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == SysExStart) {
            // A new message never continues the line of what came before it.
            endLine();
        }
        if (lineBytes == LineBytes) {
            endLine();
        }
        if (lineOpen) {
            text.append(' ');
        }
        text.append(digits[byte >> 4]);
        text.append(digits[byte & 0x0F]);
        lineOpen = true;
        ++lineBytes;
        if (byte == SysExEnd) {
            endLine();
        }
    }
    endLine();
    return QString::fromLatin1(text);
}

bool isSysExFile(QString const& path)
{
    return QFileInfo(path).suffix().compare(QLatin1String(Suffix), Qt::CaseInsensitive) == 0;
}

} // namespace SysExFile
