#pragma once

#include <QDataStream>

// The fixed parts of a project file. Stored files depend on every byte.

// Each identifier fills a 16-byte field, padded with zero bytes.
constexpr int ProjectFileIdFieldSize = 16;
constexpr char ProjectFileFileID1[ProjectFileIdFieldSize] = "KELDAN WORKS";
constexpr char ProjectFileFileID2[ProjectFileIdFieldSize] = "Tulvar MIDI";
constexpr char ProjectFileFileVersion[ProjectFileIdFieldSize] = "1.5.0";
// The digits of the version compared one by one when reading.
constexpr int ProjectFileVersionDigitPositions[] = {0, 2, 4};

// "WIND" read as a big-endian integer.
constexpr qint32 ProjectFileWindowDataChunkId = 0x57494E44;
// Written before every restoration parameter of a window record; ignored when reading.
constexpr qint32 ProjectFileParameterTag = 16;

constexpr QDataStream::Version ProjectFileStreamVersion = QDataStream::Qt_5_6;

// Project files are read whole; anything bigger is not one of ours (sixteen editors full of
// system exclusive text stay far below it).
constexpr qint64 ProjectFileMaximumSize = 256 * 1024 * 1024;
