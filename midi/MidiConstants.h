#pragma once

#include <QString>

// The port layer's constants and texts.

// The current port index when no endpoint is assigned.
constexpr unsigned int InvalidPortIndex = 0xFFFFFFFF;
// The current endpoint unique ID when none is assigned.
constexpr int InvalidPortId = 0x7FFFFFFF;

// Each received record in a delivery ring: 2-byte length, the data, 4-byte time stamp.
constexpr unsigned int TimeStampDataSize = 4;
constexpr unsigned int RecordLengthSize = 2;
constexpr unsigned int RecordOverheadSize = RecordLengthSize + TimeStampDataSize;

// The longest message the main window's ports accept.
constexpr unsigned short MaxMidiMessageLength = 16384;

inline const QString NoAssignPortName = QStringLiteral("No Assign");
inline const QString BluetoothPortName = QStringLiteral("Bluetooth");
inline const QString InputPortName = QStringLiteral("InputPort");
inline const QString OutputPortName = QStringLiteral("OutputPort");
