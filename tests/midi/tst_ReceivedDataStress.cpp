#include "midi/MidiInputPort.h"
#include "testkit/FaultInjectingMidiService.h"

#include <QtTest>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {
constexpr unsigned int MillisecondsPerDay = 86400000;

// Packet n carries its number in the first four bytes and a pattern derived from it after that;
// its length and time stamp follow from n too, so the receiving side can check every byte.
unsigned short lengthOf(std::uint32_t n)
{
    return static_cast<unsigned short>(4 + (n * 37) % 200);
}

void fill(std::uint32_t n, unsigned char* bytes)
{
    std::memcpy(bytes, &n, 4);
    for (unsigned short i = 4; i < lengthOf(n); ++i) {
        bytes[i] = static_cast<unsigned char>(n + i * 13);
    }
}

unsigned int timeStampOf(std::uint32_t n)
{
    return (86399000u + n) % 86400000u;
}

class Verifier {
public:
    static void callback(void* context, const unsigned char* data, unsigned short length, unsigned int timeStamp,
                         unsigned int portId)
    {
        auto* self = static_cast<Verifier*>(context);
        std::uint32_t n = 0;
        bool good = length >= 4;
        if (good) {
            std::memcpy(&n, data, 4);
            good = n == self->m_expected && length == lengthOf(n) && timeStamp == timeStampOf(n)
                && portId == self->m_portId;
        }
        for (unsigned short i = 4; good && i < length; ++i) {
            good = data[i] == static_cast<unsigned char>(n + i * 13);
        }
        std::lock_guard<std::mutex> lock(self->m_mutex);
        if (!good) {
            ++self->m_errors;
        }
        ++self->m_expected;
        self->m_condition.notify_all();
    }

    explicit Verifier(unsigned int portId) : m_portId(portId) {}

    bool waitForCount(std::uint32_t count)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_condition.wait_for(lock, std::chrono::seconds(120), [&] { return m_expected >= count; });
    }

    int errors()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_errors;
    }

private:
    const unsigned int m_portId;
    std::mutex m_mutex;
    std::condition_variable m_condition;
    std::uint32_t m_expected = 0;  // written only by the delivery thread, read under the mutex
    int m_errors = 0;
};

constexpr std::uint32_t PacketCount = 40000;

}  // namespace

class ReceivedDataStress : public QObject {
    Q_OBJECT

private slots:
    void floodedInputPortDeliversEveryByteInOrder()
    {
        FaultInjectingMidiService service;
        service.removeServiceEndpoints();
        const MidiEndpointRef source = service.addSource(QStringLiteral("Flood"));
        MidiClient client(service);
        const unsigned int timeOfDayAtStart = 86399000u;
        MidiInputPort port(&client, 600, 0, 0, timeOfDayAtStart);
        Verifier verifier(0);
        port.setReceivedMidiCallbackFunc(&Verifier::callback, &verifier);
        port.getInputPortNameList();
        QCOMPARE(port.openInputPort(0u), 0);

        std::thread writer([&] {
            unsigned char bytes[256];
            for (std::uint32_t n = 0; n < PacketCount; ++n) {
                fill(n, bytes);
                // Host time 0 would mean "now": start the stamps one day after the start.
                const std::uint64_t hostTime = (std::uint64_t(MillisecondsPerDay) + n) * 1000000u;
                service.injectPackets(source, {QByteArray(reinterpret_cast<const char*>(bytes), lengthOf(n))},
                                      hostTime);
            }
        });
        writer.join();
        QVERIFY(verifier.waitForCount(PacketCount));
        QCOMPARE(verifier.errors(), 0);
    }
};

QTEST_GUILESS_MAIN(ReceivedDataStress)
#include "tst_ReceivedDataStress.moc"
