#include "testkit/Hex.h"
#include "testkit/RecordingTransmitter.h"

#include "engine/KeyboardNoteEventManager.h"
#include "model/TulvarMidiModel.h"

#include <QtTest>

#include <memory>

class tst_KeyboardNoteEventManager : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_model = std::make_unique<TulvarMidiModel>();
        m_transmitter = std::make_unique<RecordingTransmitter>();
        m_manager = std::make_unique<KeyboardNoteEventManager>(m_model.get(), m_transmitter.get());
        m_model->setModelIntValue(PCKeyboardEnableParameterId, 1);
    }

    void cleanup() { m_manager.reset(); } // before the model it observes

    // Auto-repeat, the other case of a letter and a second key of the same note (',' and 'Q' are
    // both the upper C) send nothing more: a note sounds once and its first key releases it.
    void aNoteSoundsOnceWhicheverKeysRepeatIt()
    {
        QVERIFY(m_manager->trunsmitNoteOnByKeyDown('x'));
        QVERIFY(m_manager->isKeyDown('x'));
        QVERIFY(!m_manager->trunsmitNoteOnByKeyDown('x'));
        QVERIFY(!m_manager->trunsmitNoteOnByKeyDown('X'));
        QVERIFY(m_manager->trunsmitNoteOnByKeyDown(','));
        QVERIFY(m_manager->trunsmitNoteOnByKeyDown('Q')); // taken, but the note already sounds
        QVERIFY(m_manager->trunsmitNoteOffByKeyUp('X'));
        QVERIFY(!m_manager->isKeyDown('x'));
        QVERIFY(m_manager->trunsmitNoteOffByKeyUp(','));
        QVERIFY(!m_manager->trunsmitNoteOffByKeyUp('Q'));
        QCOMPARE(m_transmitter->sentBytes(),
                 (QList<QByteArray>{hex("903E40"), hex("904840"), hex("803E00"), hex("804800")}));
        for (const TransmittedMessage& message : m_transmitter->messages()) {
            QCOMPARE(int(message.eventType), message.bytes.at(0) == char(0x90) ? 1 : 0);
            QCOMPARE(message.group, OutputPortGroupBoth);
            QVERIFY(!message.skipBulkWait);
        }
    }

    void keyMapCoversTwoOctavesAndNothingElse()
    {
        const QString keys = "ZSXDCVGBHNJMQ2W3ER5T6Y7UI"; // C to C twice; ',' is the upper C, as Q
        for (int i = 0; i < keys.size(); ++i) {
            unsigned char note = 0;
            QVERIFY(m_manager->getNoteNumberByKey(keys.at(i).unicode(), note));
            QCOMPARE(int(note), 60 + i);
        }
        QVERIFY(!m_manager->trunsmitNoteOnByKeyDown('A'));
        QVERIFY(!m_manager->trunsmitNoteOnByKeyDown('1'));
        QVERIFY(!m_manager->trunsmitNoteOnByKeyDown(0));
        // U+015A and U+0151 end in the bytes of 'Z' and 'Q' but are other keys.
        QVERIFY(!m_manager->trunsmitNoteOnByKeyDown(0x015A));
        QVERIFY(!m_manager->trunsmitNoteOnByKeyDown(0x0151));
        QVERIFY(!m_manager->trunsmitNoteOffByKeyUp('Z'));
        QCOMPARE(m_transmitter->calls(), 0);
    }

    void settingsOutsideTheirRangeGiveValidBytesOrNothing_data()
    {
        QTest::addColumn<int>("octave");
        QTest::addColumn<int>("channel");
        QTest::addColumn<int>("velocity");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QByteArray>("noteOn"); // empty: the key plays nothing

        QTest::newRow("octave 4, T is 127") << 4 << 1 << 64 << "T" << hex("907F40");
        QTest::newRow("octave 4, 6 is above 127") << 4 << 1 << 64 << "6" << QByteArray();
        QTest::newRow("octave -5, Z is 0") << -5 << 1 << 64 << "Z" << hex("900040");
        // Hand-edited project files may hold anything.
        QTest::newRow("octave -6, Z below 0") << -6 << 1 << 64 << "Z" << QByteArray();
        QTest::newRow("channel 0") << 0 << 0 << 64 << "Z" << hex("903C40");
        QTest::newRow("channel 17") << 0 << 17 << 64 << "Z" << hex("9F3C40");
        QTest::newRow("velocity 128") << 0 << 1 << 128 << "Z" << hex("903C7F");
        QTest::newRow("velocity -1") << 0 << 1 << -1 << "Z" << hex("903C00");
    }

    void settingsOutsideTheirRangeGiveValidBytesOrNothing()
    {
        QFETCH(int, octave);
        QFETCH(int, channel);
        QFETCH(int, velocity);
        QFETCH(QString, key);
        QFETCH(QByteArray, noteOn);

        m_model->setModelIntValue(PCKeyboardOctaveParameterId, octave);
        m_model->setModelIntValue(PCKeyboardChannelParameterId, channel);
        m_model->setModelIntValue(PCKeyboardVelocityParameterId, velocity);
        const unsigned int character = key.at(0).unicode();
        QCOMPARE(m_manager->trunsmitNoteOnByKeyDown(character), !noteOn.isEmpty());
        QCOMPARE(m_manager->trunsmitNoteOffByKeyUp(character), !noteOn.isEmpty());
        if (noteOn.isEmpty()) {
            QCOMPARE(m_transmitter->calls(), 0);
        } else {
            QByteArray noteOff = noteOn;
            noteOff[0] = char(noteOff[0] - 0x10);
            noteOff[2] = 0;
            QCOMPARE(m_transmitter->sentBytes(), (QList<QByteArray>{noteOn, noteOff}));
        }
    }

    void releaseFollowsTheKeyThatStartedTheNote()
    {
        QVERIFY(m_manager->trunsmitNoteOnByKeyDown('Z'));
        m_model->setModelIntValue(PCKeyboardChannelParameterId, 2);
        m_model->setModelIntValue(PCKeyboardOctaveParameterId, 1);
        QVERIFY(m_manager->trunsmitNoteOffByKeyUp('Z'));
        QVERIFY(m_manager->trunsmitNoteOnByKeyDown('Z'));
        QCOMPARE(m_transmitter->sentBytes(), (QList<QByteArray>{hex("903C40"), hex("803C00"), hex("914840")}));
    }

    void nothingPlaysWhileDisabledOrTyping()
    {
        bool typing = true;
        m_manager->setTypingFocusQuery([&typing] { return typing; });
        QVERIFY(!m_manager->canTransmitNoteEventByKeyEvent());
        QVERIFY(!m_manager->trunsmitNoteOnByKeyDown('Z'));

        typing = false;
        m_model->setModelIntValue(PCKeyboardEnableParameterId, 0);
        QVERIFY(!m_manager->trunsmitNoteOnByKeyDown('Z'));
        QCOMPARE(m_transmitter->calls(), 0);

        m_model->setModelIntValue(PCKeyboardEnableParameterId, 1);
        QVERIFY(m_manager->trunsmitNoteOnByKeyDown('Z'));
        // A key held while typing starts is still released.
        typing = true;
        m_model->setModelIntValue(PCKeyboardEnableParameterId, 0);
        QVERIFY(m_manager->trunsmitNoteOffByKeyUp('Z'));
        QCOMPARE(m_transmitter->sentBytes(), (QList<QByteArray>{hex("903C40"), hex("803C00")}));
    }

    void clearingAndDestructionReleaseEverySoundingNote()
    {
        QVERIFY(m_manager->trunsmitNoteOnByKeyDown('Z'));
        QVERIFY(m_manager->trunsmitNoteOnByKeyDown('I'));
        m_manager->clearAllNoteEvent();
        QVERIFY(!m_manager->isKeyDown('Z'));
        QVERIFY(!m_manager->trunsmitNoteOffByKeyUp('I'));
        QCOMPARE(m_transmitter->sentBytes(),
                 (QList<QByteArray>{hex("903C40"), hex("905440"), hex("803C00"), hex("805400")}));

        m_transmitter->clear();
        m_model->setModelIntValue(PCKeyboardChannelParameterId, 3);
        QVERIFY(m_manager->trunsmitNoteOnByKeyDown('S'));
        m_manager.reset();
        QCOMPARE(m_transmitter->sentBytes(), (QList<QByteArray>{hex("923D40"), hex("823D00")}));
        // The manager has left the model: a later change reaches nobody.
        m_model->setModelIntValue(PCKeyboardChannelParameterId, 4);
    }

private:
    std::unique_ptr<TulvarMidiModel> m_model;
    std::unique_ptr<RecordingTransmitter> m_transmitter;
    std::unique_ptr<KeyboardNoteEventManager> m_manager;
};

QTEST_GUILESS_MAIN(tst_KeyboardNoteEventManager)
#include "tst_KeyboardNoteEventManager.moc"
