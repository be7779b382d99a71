#include "cli/CliMonitor.h"

#include "engine/MessageTextSyntax.h"

namespace {

void setUp(TulvarMidiModel& model, bool showTime, bool showDetail)
{
    model.setModelIntValue(TimeStampParameterId, showTime ? 1 : 0);
    model.setModelIntValue(MessageDetailParameterId, showDetail ? 1 : 0);
}

QList<QByteArray> linesOf(QByteArray const& text)
{
    // Every line the analyzer appends starts with a line feed.
    QList<QByteArray> lines = text.split('\n');
    if (!lines.isEmpty()) {
        lines.removeFirst();
    }
    return lines;
}

} // namespace

CliMonitor::CliMonitor(bool showTime, bool showDetail)
    : m_shown((setUp(m_shownModel, showTime, showDetail), &m_shownModel), nullptr)
    , m_bytes((setUp(m_bytesModel, false, false), &m_bytesModel), nullptr)
{
}

void CliMonitor::received(void* context, const unsigned char* data, unsigned short length, unsigned int timeStamp,
                          unsigned int)
{
    auto* monitor = static_cast<CliMonitor*>(context);
    std::lock_guard<std::mutex> lock(monitor->m_lock);
    monitor->m_shown.receivedMidi(data, length, timeStamp, InputPortGroupFirst);
    monitor->m_bytes.receivedMidi(data, length, timeStamp, InputPortGroupFirst);
}

QList<CliMonitor::Line> CliMonitor::takeLines()
{
    QByteArray shownText;
    QByteArray bytesText;
    {
        QByteArray exclusive;
        QByteArray transmitted;
        std::uint32_t received = 0;
        std::uint32_t exclusiveCount = 0;
        std::uint32_t transmittedCount = 0;
        std::lock_guard<std::mutex> lock(m_lock);
        m_shown.getMidiData(shownText, received, exclusive, exclusiveCount, transmitted, transmittedCount);
        m_bytes.getMidiData(bytesText, received, exclusive, exclusiveCount, transmitted, transmittedCount);
    }
    const QList<QByteArray> shown = linesOf(shownText);
    const QList<QByteArray> bytes = linesOf(bytesText);
    QList<Line> lines;
    lines.reserve(shown.size());
    for (int i = 0; i < shown.size() && i < bytes.size(); ++i) {
        lines.append(Line{shown.at(i), bytes.at(i), bytes.at(i).startsWith("F0")});
    }
    return lines;
}

QByteArray CliMonitor::bytesOf(Line const& line)
{
    const QString cleaned = MessageTextSyntax::cleanMessageText(QString::fromLatin1(line.bytes));
    QByteArray result(cleaned.size() / 2, '\0');
    MessageTextSyntax::convertHexStringToHexNumber(reinterpret_cast<unsigned char*>(result.data()),
                                                   cleaned.constData(), std::size_t(result.size()));
    return result;
}
