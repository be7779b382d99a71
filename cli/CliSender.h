#pragma once

#include <QByteArray>
#include <QString>

class CliSession;

// Turns what `send` and `request` were given into the editor's message text, and sends it on the
// session's output through the editor's own transmission worker.
namespace CliSender {

// The message text of the arguments (one line each, so that an error names its argument as the
// line) or of a file: a .syx file's bytes as text, anything else read as UTF-8 text. Returns an
// exit status; on error the message is on standard error.
int messageText(QStringList const& texts, QString const& file, QString& text);

// Checks the text as the editor converts it; ExitMessageText with "Line L, column C: ..." on
// standard error (prefixed by where) at the first character that is not part of the syntax, or
// at a lone last digit, which would be left unsent.
int checkMessageText(QString const& text, QString const& where);

// Sends the text whole messages at a time (raw: as it stands, 4,096 bytes a packet), waiting
// interval milliseconds after every system exclusive; progress on standard error when
// showProgress and the text holds more than 256 bytes. ExitSuccess only when all was sent.
int send(CliSession& session, QString const& text, bool raw, int interval, bool showProgress);

} // namespace CliSender
