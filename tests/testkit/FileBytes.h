#pragma once

// Whole files as bytes, for tests that prepare or inspect what the program reads and writes.

#include <QByteArray>
#include <QFile>
#include <QString>

// The file's bytes, or "<unreadable>" so that a comparison with any expected content fails.
inline QByteArray readFileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// Replaces the file's content; false when it cannot be written whole.
inline bool writeFileBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}
