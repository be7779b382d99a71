#pragma once

#include <QDataStream>
#include <QString>

// The tagged records a tool view writes into its own payload of a project file, and the interface
// through which the project file asks a view for that payload.
//
// An integer record is tag, size 4, value (three big-endian 32-bit integers); a string record is
// tag, the byte length of its UTF-8 form, then those bytes. Records must be read back in the order
// they were written: a reader that asks for another tag consumes what it has read so far.
class FileStream {
public:
    virtual ~FileStream();

    // Reads the view's own settings from its payload; false when the payload is unusable.
    virtual bool setDataStream(QDataStream& stream) = 0;
    // Writes the view's own settings into a fresh payload; false stops the project save.
    virtual bool getDataStream(QDataStream& stream) = 0;

    static bool setIntParameterToStream(QDataStream& stream, qint32 tag, qint32 value);
    static bool getIntParameterFromStream(QDataStream& stream, qint32 tag, qint32& value);
    // True only when a non-empty string was written; an empty one still leaves its tag and a 0.
    static bool setStringParameterToStream(QDataStream& stream, qint32 tag, const QString& text);
    static bool getStringParameterFromStream(QDataStream& stream, qint32 tag, QString& text);
};
