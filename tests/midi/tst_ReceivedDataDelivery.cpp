#include "ReceivedRecorder.h"
#include "ServiceTestKit.h"
#include "midi/MidiConstants.h"
#include "midi/MidiDataTransmissionThread.h"

#include <QtTest>

#include <atomic>
#include <memory>
#include <thread>

namespace {

// A receive callback that records, then stays inside its call while the gate is held.
struct HeldRecorder {
    static void callback(void* context, const unsigned char* data, unsigned short length, unsigned int timeStamp,
                         unsigned int portId)
    {
        auto* self = static_cast<HeldRecorder*>(context);
        ReceivedRecorder::callback(&self->recorder, data, length, timeStamp, portId);
        HeldReader::readProc(nullptr, 0, &self->gate, nullptr);
    }

    ReceivedRecorder recorder;
    HeldReader gate;
};

QByteArray pattern(int length, int seed)
{
    QByteArray bytes(length, '\0');
    for (int i = 0; i < length; ++i) {
        bytes[i] = char((seed * 31 + i * 7) & 0xFF);
    }
    return bytes;
}

void write(MidiDataTransmissionThread& thread, const QByteArray& bytes, unsigned int timeStamp)
{
    thread.writeData(reinterpret_cast<const unsigned char*>(bytes.constData()), static_cast<unsigned short>(bytes.size()),
                     timeStamp);
}

constexpr unsigned short SmallCapacity = 40;

}  // namespace

class ReceivedDataDelivery : public QObject {
    Q_OBJECT

private slots:
    // A first record of `offset` bytes moves both indexes there; the second record then starts
    // at that offset, so the rows split its length, data and time-stamp fields at every place.
    void recordStraddlingTheEndArrivesWhole_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("length");
        for (int length : {0, 1, 5}) {
            const int recordSize = length + int(RecordOverheadSize);
            for (int offset = SmallCapacity - recordSize; offset <= SmallCapacity; ++offset) {
                QTest::addRow("length %d at %d", length, offset) << offset << length;
            }
        }
    }

    void recordStraddlingTheEndArrivesWhole()
    {
        QFETCH(int, offset);
        QFETCH(int, length);
        ReceivedRecorder recorder;
        MidiDataTransmissionThread thread(nullptr, SmallCapacity, 0);
        thread.setReceivedMidiCallbackFunc(&ReceivedRecorder::callback, &recorder);
        write(thread, pattern(offset - int(RecordOverheadSize), 1), 1);
        QVERIFY(recorder.waitForCount(1));
        write(thread, pattern(length, 2), 0x12345678);
        write(thread, pattern(3, 3), 0x9ABCDEF0);
        QVERIFY(recorder.waitForCount(3));
        const auto records = recorder.records();
        QCOMPARE(records[1].data, pattern(length, 2));
        QCOMPARE(records[1].timeStamp, 0x12345678u);
        QCOMPARE(records[2].data, pattern(3, 3));
        QCOMPARE(records[2].timeStamp, 0x9ABCDEF0u);
        QTRY_VERIFY_WITH_TIMEOUT(thread.isEmptyBuffer(), 20000);
        QVERIFY(thread.isAvailable(SmallCapacity));
    }

    // Before a callback is set, and when longer than any message, a packet is dropped.
    void packetsWithNowhereToGoAreDropped()
    {
        ReceivedRecorder recorder;
        MidiDataTransmissionThread thread(nullptr, MaxMidiMessageLength + RecordOverheadSize, 0);
        write(thread, pattern(3, 1), 1);
        QVERIFY(thread.isEmptyBuffer());
        thread.setReceivedMidiCallbackFunc(&ReceivedRecorder::callback, &recorder);
        write(thread, pattern(MaxMidiMessageLength + 1, 1), 1);
        write(thread, pattern(MaxMidiMessageLength, 2), 2);
        QVERIFY(recorder.waitForCount(1));
        QTRY_VERIFY_WITH_TIMEOUT(thread.isEmptyBuffer(), 20000);
        const auto records = recorder.records();
        QCOMPARE(records.size(), std::size_t(1));
        QCOMPARE(records[0].data, pattern(MaxMidiMessageLength, 2));
    }

    // Each record is written only after the previous one was delivered, so the delivery thread
    // is always about to wait or waiting when it arrives; a lost wake-up would stall the test.
    void noWakeUpIsLost()
    {
        ReceivedRecorder recorder;
        MidiDataTransmissionThread thread(nullptr, SmallCapacity, 0);
        thread.setReceivedMidiCallbackFunc(&ReceivedRecorder::callback, &recorder);
        for (int i = 0; i < 3000; ++i) {
            write(thread, pattern(1, i), unsigned(i));
            QVERIFY2(recorder.waitForCount(std::size_t(i) + 1, 10000), qPrintable(QString::number(i)));
        }
    }

    // Inside a callback, the destructor waits for that callback and then delivers nothing more
    // (an idle thread ending at once is every other test's end).
    void destructionWaitsForTheCallbackInProgress()
    {
        HeldRecorder held;
        auto thread = std::make_unique<MidiDataTransmissionThread>(nullptr, SmallCapacity, 0);
        thread->setReceivedMidiCallbackFunc(&HeldRecorder::callback, &held);
        held.gate.setHeld(true);
        write(*thread, pattern(3, 1), 1);
        QVERIFY(held.gate.waitUntilInside());
        std::atomic<bool> destroyed{false};
        std::thread destroyer([&] {
            thread.reset();
            destroyed = true;
        });
        QTest::qWait(200);
        const bool heldByTheCallback = !destroyed.load();
        held.gate.setHeld(false);
        destroyer.join();
        QVERIFY(heldByTheCallback);
        QCOMPARE(held.recorder.records().size(), std::size_t(1));
    }
};

QTEST_GUILESS_MAIN(ReceivedDataDelivery)
#include "tst_ReceivedDataDelivery.moc"
