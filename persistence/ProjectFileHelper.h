#pragma once

#include "persistence/WindowInfoStruct.h"

#include <QByteArray>
#include <QDataStream>
#include <QString>

class ProjectWindowsIF;

// Writes and reads project files ("*.tulvarmidi"): three 16-byte identifiers, the "WIND" chunk
// with its length, then the main window's record and, per saved tool window, its record and
// the payload its view writes. The windows themselves are reached through ProjectWindowsIF.
//
// Reading trusts nothing in the file: every length is checked against the bytes that remain
// before anything is allocated or read, the stream status after every read, and restoration
// parameters may only be of the value types that window records store.
class ProjectFileHelper {
public:
    enum WriteResult { WriteSucceeded = 0, WriteFailed = 1 };
    enum ReadResult { ReadSucceeded = 0, ReadVersionTooNew = 1, ReadFailed = 2 };

    explicit ProjectFileHelper(ProjectWindowsIF& windows);

    // Replaces the file only once the whole new content is on disk: any failure leaves an
    // existing file as it was.
    int writeFile(const QString& path);
    int readFile(const QString& path);

    // The whole file for the windows as they are now; false when a view fails its payload.
    bool buildFileData(QByteArray& data);
    // readFile once the file has been read into memory. Windows created before a failure stay.
    int readFileData(const QByteArray& data);

    static bool writeWindowInfo(QDataStream& stream, const WindowInfoStruct& info);
    static bool readWindowInfo(QDataStream& stream, WindowInfoStruct& info);
    // The value of one decimal digit character, 0 for anything else.
    static int convertStringToInt(char character);

    // A stream over a project file's bytes: Qt 5.6 format, big-endian.
    static void prepareStream(QDataStream& stream);
    // True for the value types a window record's parameters may hold: the extra values of tool
    // windows are numbers (a controller number) and switches.
    static bool isStorableParameter(const QVariant& value);

private:
    ProjectWindowsIF& m_windows;
};
