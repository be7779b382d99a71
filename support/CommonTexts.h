#pragma once

#include <QString>

// Texts that the shell and several views show.
inline QString const ApplicationName = QStringLiteral("Tulvar MIDI");
inline QString const ApplicationVersion = QStringLiteral("1.4.1");

// Message boxes are titled ApplicationName.
inline QString const FileOpenFailedMessage = QStringLiteral("File open failed.");
inline QString const FileFormatVersionErrorMessage = QStringLiteral("File format version error.");
inline QString const FileSaveFailedMessage = QStringLiteral("File save failed.");
inline QString const PortOpenFailedMessage = QStringLiteral("Port open failed.");
inline QString const FaildToTransmitMessage = QStringLiteral("Failed to transmit message.");
inline QString const UnknownErrorMessage = QStringLiteral("Unknown error.");
// %1 is the name of the disabled function.
inline QString const DisabledFunctionMessage =
    QStringLiteral("%1 function is currently disabled.\nTurn On File > Preferences > Parser.");
