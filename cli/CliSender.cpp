#include "cli/CliSender.h"

#include "cli/CliExit.h"
#include "cli/CliSession.h"
#include "engine/MidiBulkIntervalManager.h"
#include "engine/MidiEditTransmittionThread.h"
#include "engine/MidiTransmitterIF.h"
#include "engine/MonitorLineFormat.h"
#include "model/TulvarMidiModel.h"

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QObject>

#include <cstdio>

namespace {

// Progress is worth showing only for transmissions longer than this.
constexpr quint32 ProgressThreshold = 256;

// The program's transmit path reduced to one output: the bulk waits around the send.
class CliTransmitter : public MidiTransmitterIF {
public:
    CliTransmitter(MidiOutputPort& output, MidiBulkIntervalManager& bulk) : m_output(output), m_bulk(bulk) {}

    bool transmitMidi(const unsigned char* data, unsigned short size, unsigned char, OutputPortGroup, bool skipBulkWait,
                      bool) override
    {
        if (!skipBulkWait) {
            m_bulk.waitBulkBeforeTransmission(data, size);
        }
        unsigned int timeStamp = 0;
        const bool sent = m_output.transmitMidi(data, size, timeStamp) == 0;
        if (sent && !skipBulkWait) {
            m_bulk.waitBulkAfterTransmission(data, size);
        }
        return sent;
    }

private:
    MidiOutputPort& m_output;
    MidiBulkIntervalManager& m_bulk;
};

bool isLineFeed(QChar c)
{
    return c == QLatin1Char('\n') || c == QChar(0x2029);
}

int hexDigit(QChar c)
{
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9') {
        return u - '0';
    }
    if (u >= 'a' && u <= 'f') {
        return u - 'a' + 10;
    }
    if (u >= 'A' && u <= 'F') {
        return u - 'A' + 10;
    }
    return -1;
}

} // namespace

int CliSender::messageText(QStringList const& texts, QString const& file, QString& text)
{
    if (file.isEmpty()) {
        text = texts.join(QLatin1Char('\n'));
        return checkMessageText(text, QString());
    }
    QFile input(file);
    if (!input.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "tulvar-midi-cli: %s: %s\n", qPrintable(file), qPrintable(input.errorString()));
        return ExitUsage;
    }
    const QByteArray content = input.readAll();
    if (QFileInfo(file).suffix().compare(QLatin1String("syx"), Qt::CaseInsensitive) == 0) {
        QByteArray hex;
        MonitorLineFormat::convertDisplayFormatFromMidiData(
            hex, reinterpret_cast<const unsigned char*>(content.constData()), std::size_t(content.size()), true);
        text = QString::fromLatin1(hex);
        return ExitSuccess;
    }
    text = QString::fromUtf8(content);
    return checkMessageText(text, file + QLatin1String(": "));
}

int CliSender::checkMessageText(QString const& text, QString const& where)
{
    int line = 1;
    int lineStart = 0;
    int loneDigit = -1;
    int loneLine = 0;
    int loneColumn = 0;
    const int length = text.size();
    for (int i = 0; i < length; ++i) {
        const QChar c = text.at(i);
        if (isLineFeed(c)) {
            ++line;
            lineStart = i + 1;
            continue;
        }
        if (c == QLatin1Char(' ') || c == QLatin1Char(',') || c == QLatin1Char('\t')) {
            continue;
        }
        if (c == QLatin1Char('/') && i + 1 < length && text.at(i + 1) == QLatin1Char('/')) {
            while (i + 1 < length && !isLineFeed(text.at(i + 1))) {
                ++i;
            }
            continue;
        }
        if (hexDigit(c) < 0) {
            std::fprintf(stderr, "tulvar-midi-cli: %sLine %d, column %d: \"%s\" is not a hexadecimal digit.\n",
                         qPrintable(where), line, i - lineStart + 1, qPrintable(QString(c)));
            return ExitMessageText;
        }
        if (loneDigit < 0) {
            loneDigit = i;
            loneLine = line;
            loneColumn = i - lineStart + 1;
        } else {
            loneDigit = -1;
        }
    }
    if (loneDigit >= 0) {
        std::fprintf(stderr, "tulvar-midi-cli: %sLine %d, column %d: a byte needs two hexadecimal digits.\n",
                     qPrintable(where), loneLine, loneColumn);
        return ExitMessageText;
    }
    return ExitSuccess;
}

int CliSender::send(CliSession& session, QString const& text, bool raw, int interval, bool showProgress)
{
    TulvarMidiModel model;
    model.setModelIntValue(MessageParsedParameterId, raw ? 0 : 1);
    model.setModelIntValue(BulkIntervalParameterId, interval);
    MidiBulkIntervalManager bulk(&model);
    CliTransmitter transmitter(session.output(), bulk);

    int status = ExitSuccess;
    quint32 total = 0;
    quint32 sent = 0;
    bool progressShown = false;
    QEventLoop loop;
    {
        MidiEditTransmittionThread worker(nullptr, &model, &transmitter);
        QObject::connect(&worker, &MidiEditTransmittionThread::startTransmittion, &loop,
                         [&total](quint32 byteTotal) { total = byteTotal; });
        QObject::connect(&worker, &MidiEditTransmittionThread::transmittionProgress, &loop,
                         [&](quint32 bytesSent) {
                             sent = bytesSent;
                             if (showProgress && total > ProgressThreshold) {
                                 std::fprintf(stderr, "\rSent %u of %u bytes", bytesSent, total);
                                 progressShown = true;
                             }
                         });
        QObject::connect(&worker, &MidiEditTransmittionThread::finishTransmittion, &loop, [&](qint32 result) {
            if (result != MidiEditTransmittionThread::TransmittionFinished) {
                status = ExitFailed;
            } else {
                loop.quit();
            }
        });
        worker.setTransmittionMessage(text);
        loop.exec();
    }
    // Closing waits until every message has left the process.
    session.closeOutput();
    if (progressShown) {
        std::fputc('\n', stderr);
    }
    if (status != ExitSuccess) {
        std::fprintf(stderr, "tulvar-midi-cli: sending failed after %u of %u bytes\n", sent, total);
    }
    return status;
}
