#include "persistence/FileStream.h"

#include <QByteArray>

#include <algorithm>

namespace {

constexpr qint32 IntRecordSize = 4;

bool readInt(QDataStream& stream, qint32& value)
{
    stream >> value;
    return stream.status() == QDataStream::Ok;
}

// Reads up to `length` bytes in bounded steps, so that a damaged length field cannot make us
// allocate more than the payload really holds.
QByteArray readBytes(QDataStream& stream, qint32 length)
{
    constexpr int Step = 16 * 1024;
    QByteArray bytes;
    char buffer[Step];
    while (bytes.size() < length) {
        const int wanted = std::min(Step, length - bytes.size());
        const int read = stream.readRawData(buffer, wanted);
        if (read <= 0) {
            break;
        }
        bytes.append(buffer, read);
        if (read < wanted) {
            break;
        }
    }
    return bytes;
}

} // namespace

FileStream::~FileStream() = default;

bool FileStream::setIntParameterToStream(QDataStream& stream, qint32 tag, qint32 value)
{
    stream << tag << IntRecordSize << value;
    return true;
}

bool FileStream::getIntParameterFromStream(QDataStream& stream, qint32 tag, qint32& value)
{
    value = 0;
    if (stream.atEnd()) {
        return false;
    }
    qint32 storedTag = 0;
    if (!readInt(stream, storedTag) || storedTag != tag) {
        return false;
    }
    qint32 size = 0;
    if (!readInt(stream, size) || size != IntRecordSize) {
        return false;
    }
    qint32 stored = 0;
    if (!readInt(stream, stored)) {
        return false;
    }
    value = stored;
    return true;
}

bool FileStream::setStringParameterToStream(QDataStream& stream, qint32 tag, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    stream << tag << qint32(bytes.size());
    if (bytes.isEmpty()) {
        return false;
    }
    return stream.writeRawData(bytes.constData(), bytes.size()) == bytes.size();
}

bool FileStream::getStringParameterFromStream(QDataStream& stream, qint32 tag, QString& text)
{
    text.clear();
    if (stream.atEnd()) {
        return false;
    }
    qint32 storedTag = 0;
    if (!readInt(stream, storedTag) || storedTag != tag) {
        return false;
    }
    qint32 length = 0;
    if (!readInt(stream, length)) {
        return false;
    }
    // No writer stores a negative length, and a text cut short by a damaged file is not the
    // text that was saved: both are failures, never a shorter text.
    if (length < 0) {
        return false;
    }
    if (length == 0) {
        return true;
    }
    QByteArray bytes = readBytes(stream, length);
    if (bytes.size() != length) {
        return false;
    }
    const int nul = bytes.indexOf('\0');
    if (nul >= 0) {
        bytes.truncate(nul);
    }
    text = QString::fromUtf8(bytes);
    return true;
}
