#include "testkit/RecordingObservers.h"

#include "model/DialIF.h"
#include "model/TulvarMidiModel.h"

#include <QtTest>
#include <memory>

namespace {

class FakeDial : public QObject, public DialIF {
public:
    FakeDial(QString name, QStringList* log) : m_name(std::move(name)), m_log(log) {}

    void setKnobMode(int mode) override
    {
        knobMode = mode;
        m_log->append(QStringLiteral("%1:mode%2").arg(m_name).arg(mode));
    }
    QObject* dialObject() override { return this; }

    int knobMode = -1;

private:
    QString m_name;
    QStringList* m_log;
};

} // namespace

// The application's model: what every row of its parameter table must satisfy and the few rows
// users meet by name, the edit flag and its lock, and the dials that follow the knob mode.
class tst_ApplicationModel : public QObject {
    Q_OBJECT

private:
    QStringList log;
    std::unique_ptr<TulvarMidiModel> model;

    // A value outside the row's range is either printed as a number or refused without a text.
    void checkTextOutsideTheRange(unsigned int id, int value)
    {
        MODEL_RESULT r = MODEL_RESULT_OK;
        QString const text = model->getParameterString(id, value, &r);
        QVERIFY2(r == MODEL_RESULT_OK ? text == QString::number(value) : text.isEmpty(),
                 qPrintable(QStringLiteral("%1 at %2").arg(id).arg(value)));
    }

private slots:
    void init()
    {
        log.clear();
        model = std::make_unique<TulvarMidiModel>();
    }

    void everyIntegerRowHoldsItsDefaultInRangeAndAText()
    {
        // The filter switches are unnamed 0/1 blocks of the documented sizes.
        QList<QPair<unsigned int, int>> const switchBlocks{{ChannelFilterParameterId, ChannelFilterCount},
                                                           {MessageTypeFilterParameterId, MessageTypeFilterCount},
                                                           {ControlChangeFilterParameterId, ControlChangeFilterCount},
                                                           {SystemCommonFilterParameterId, SystemCommonFilterCount},
                                                           {SystemRealtimeFilterParameterId, SystemRealtimeFilterCount}};
        QSet<unsigned int> switches;
        for (auto const& block : switchBlocks) {
            for (int i = 0; i < block.second; ++i)
                switches.insert(block.first + unsigned(i));
        }
        int rows = 0;
        for (unsigned int id = 0; id <= 1400; ++id) {
            MODEL_RESULT r = MODEL_RESULT_OK;
            int const minimum = model->getModelMinimumValue(id, &r);
            if (r != MODEL_RESULT_OK) {
                QVERIFY2(!switches.contains(id), qPrintable(QString::number(id)));
                continue;
            }
            ++rows;
            int const maximum = model->getModelMaximumValue(id);
            int const defaultValue = model->getModelDefaultValue(id);
            QVERIFY2(minimum <= defaultValue && defaultValue <= maximum, qPrintable(QString::number(id)));
            QCOMPARE(model->getModelIntValue(id), defaultValue);
            if (switches.contains(id)) {
                QVERIFY(minimum == 0 && maximum == 1 && defaultValue == 0);
            }
            // Settings and preferences are named; switches and the editor's state are not.
            QCOMPARE(model->getModelParameterName(id).isEmpty(), id < 500 || switches.contains(id));
            QStringList texts;
            for (int value = minimum; value <= std::min(maximum, minimum + 3); ++value) {
                r = MODEL_RESULT_ERROR;
                texts << model->getParameterString(id, value, &r);
                QVERIFY(!texts.last().isEmpty());
                QCOMPARE(r, MODEL_RESULT_OK);
            }
            QCOMPARE(texts.removeDuplicates(), 0);
            checkTextOutsideTheRange(id, minimum - 1);
            if (maximum < INT_MAX)
                checkTextOutsideTheRange(id, maximum + 1);
        }
        QCOMPARE(rows, switches.size() + 3 + 7 + 9 + 4);
        MODEL_RESULT r = MODEL_RESULT_OK;
        model->getModelParameterName(UndefinedId, &r);
        QCOMPARE(r, MODEL_RESULT_ERROR);
    }

    void rowsUsersSeeByName_data()
    {
        QTest::addColumn<unsigned int>("id");
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("defaultValue");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("textOfMaximum");
        QTest::newRow("bulk interval") << 501u << 0 << 1000 << 0 << "Bulk Interval (ms)" << "1000";
        QTest::newRow("knob mode") << 1200u << 0 << 1 << 0 << "Knob Mode" << "Linear";
        QTest::newRow("middle C") << 1205u << 0 << 2 << 0 << "Middle C" << "C5";
        QTest::newRow("parser") << 1207u << 0 << 1 << 1 << "Parser" << "1";
        QTest::newRow("octave") << 1301u << -5 << 4 << 0 << "Octave" << "4";
        QTest::newRow("channel") << 1302u << 1 << 16 << 1 << "Channel" << "16";
        QTest::newRow("velocity") << 1303u << 0 << 127 << 64 << "Velocity" << "127";
    }

    void rowsUsersSeeByName()
    {
        QFETCH(unsigned int, id);
        QFETCH(int, maximum);
        QTEST(model->getModelMinimumValue(id), "minimum");
        QTEST(model->getModelMaximumValue(id), "maximum");
        QTEST(model->getModelDefaultValue(id), "defaultValue");
        QTEST(model->getModelParameterName(id), "name");
        QTEST(model->getParameterString(id, maximum), "textOfMaximum");
    }

    void folderParametersStartAtTheDocumentFolder()
    {
        QCOMPARE(model->getModelStringValue(DumpFileWorkingDirectoryParameterId), getDocumentDirectory());
        QCOMPARE(model->getModelDefaultStringValue(ProjectFileWorkingDirectoryParameterId), getDocumentDirectory());
        QCOMPARE(model->getModelParameterName(2), QStringLiteral("Project File Working Directory"));
    }
    void editFlagLockNests()
    {
        QCOMPARE(model->getParameterEditFlag(), ParameterEditFlagUnchanged);
        // An unpaired unlock does not leave the flag locked for ever.
        model->unlockParameterEditFlag();
        RecordingAssistant assistant(QStringLiteral("a"), &log);
        model->registerModelAssistant(&assistant);

        model->lockParameterEditFlag();
        model->lockParameterEditFlag();
        model->unlockParameterEditFlag();
        model->setParameterEditFlag(1);
        QCOMPARE(model->getParameterEditFlag(), ParameterEditFlagUnchanged);
        QVERIFY(log.isEmpty());

        model->unlockParameterEditFlag();
        model->setParameterEditFlag(1);
        model->setParameterEditFlag(1);
        QCOMPARE(model->getParameterEditFlag(), ParameterEditFlagChanged);
        QCOMPARE(log, QStringList{"a:3"});

        // The lock only holds back the flag: other parameters change as usual.
        model->lockParameterEditFlag();
        model->setModelIntValue(501, 200);
        model->setParameterEditFlag(0);
        model->unlockParameterEditFlag();
        QCOMPARE(model->getModelIntValue(501), 200);
        QCOMPARE(model->getParameterEditFlag(), ParameterEditFlagChanged);
        model->unregisterModelAssistant(&assistant);
    }

    void dialsFollowTheKnobModeBeforeBoundControls()
    {
        FakeDial first(QStringLiteral("d1"), &log);
        FakeDial second(QStringLiteral("d2"), &log);
        RecordingConnection control(QStringLiteral("c"), &log);
        control.setParameterId(KnobModeParameterId);
        control.connectModel(model.get());
        RecordingAssistant assistant(QStringLiteral("a"), &log);
        model->registerModelAssistant(&assistant);
        model->setModelIntValue(KnobModeParameterId, 1);
        // A dial registered later takes up the mode at once; registering twice counts once.
        model->registerDial(&first);
        model->registerDial(&second);
        model->registerDial(&first);
        QCOMPARE(first.knobMode, 1);
        log.clear();

        model->setModelIntValue(KnobModeParameterId, 0);
        QCOMPARE(log, (QStringList{"d1:mode0", "d2:mode0", "c:1200", "a:1200"}));

        log.clear();
        model->setModelIntValue(MessageParsedParameterId, 0);
        QCOMPARE(log, QStringList{"a:1207"});

        model->unregisterDial(&first);
        log.clear();
        model->setModelIntValue(KnobModeParameterId, 1);
        QCOMPARE(log, (QStringList{"d2:mode1", "c:1200", "a:1200"}));
        model->unregisterModelAssistant(&assistant);
        control.disconnectModel();

        // A destroyed dial, and a null one, are skipped.
        auto gone = std::make_unique<FakeDial>(QStringLiteral("gone"), &log);
        model->registerDial(gone.get());
        model->registerDial(nullptr);
        gone.reset();
        log.clear();
        model->setModelIntValue(KnobModeParameterId, 0);
        QCOMPARE(log, QStringList{"d2:mode0"});
        model->unregisterDial(&second);
    }
};

QTEST_GUILESS_MAIN(tst_ApplicationModel)
#include "tst_ApplicationModel.moc"
