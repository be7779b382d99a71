#include "testkit/RecordingObservers.h"

#include "model/CommonViewHelper.h"
#include "model/DialIF.h"
#include "model/Model.h"
#include "model/TulvarMidiModel.h"

#include <QtTest>
#include <memory>

namespace {

QString negate(int value, MODEL_RESULT* result)
{
    setModelResult(result, value < 0 ? MODEL_RESULT_ERROR : MODEL_RESULT_OK);
    return QStringLiteral("minus %1").arg(value);
}

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

// The parameter model on rows of its own, then the application's model: what every row of its
// table must satisfy and the few rows users meet by name, the edit flag and its lock, and the
// dials that follow the knob mode.
class tst_ParameterModel : public QObject {
    Q_OBJECT

private:
    QStringList log;
    std::unique_ptr<Model> model;
    std::unique_ptr<RecordingAssistant> assistant;
    std::unique_ptr<TulvarMidiModel> app;

    std::unique_ptr<RecordingConnection> bound(QString const& name, unsigned int id)
    {
        auto connection = std::make_unique<RecordingConnection>(name, &log);
        connection->setParameterId(id);
        connection->connectModel(model.get());
        return connection;
    }

    // The log of one write, from a clean start.
    QStringList afterSetting(unsigned int id, int value)
    {
        log.clear();
        model->setModelIntValue(id, value);
        return log;
    }

private slots:
    void init()
    {
        log.clear();
        model = std::make_unique<Model>();
        model->createIntParameter(10, 0, 1, 0, QStringLiteral("Switch"), nullptr, nullptr);
        model->createIntParameter(11, -8, 8, 3, QStringLiteral("Converted"), negate, nullptr);
        model->createStringParameter(20, QStringLiteral("home"), QStringLiteral("Folder"));
        assistant = std::make_unique<RecordingAssistant>(QStringLiteral("a"), &log);
        model->registerModelAssistant(assistant.get());
        app = std::make_unique<TulvarMidiModel>();
    }

    void cleanup()
    {
        if (assistant)
            model->unregisterModelAssistant(assistant.get());
        assistant.reset();
    }

    void parameterStringFollowsConverterOrDecimal_data()
    {
        QTest::addColumn<unsigned int>("id");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("text");
        QTest::addColumn<MODEL_RESULT>("result");
        QTest::newRow("no converter, outside range") << 10u << -5 << "-5" << MODEL_RESULT_OK;
        QTest::newRow("converter decides the result") << 11u << -2 << "minus -2" << MODEL_RESULT_ERROR;
        QTest::newRow("string parameter ignores the value") << 20u << 7 << "home" << MODEL_RESULT_OK;
        QTest::newRow("unknown identifier") << 99u << 1 << "" << MODEL_RESULT_ERROR;
    }

    void parameterStringFollowsConverterOrDecimal()
    {
        QFETCH(unsigned int, id);
        QFETCH(int, value);
        MODEL_RESULT r = 99;
        QTEST(model->getParameterString(id, value, &r), "text");
        QTEST(r, "result");
    }

    // Bound controls hear a change in their order, then the assistants; a write that changes
    // nothing, or fails, announces nothing.
    void changeNotifiesBoundControlsInOrderThenAssistants()
    {
        auto c1 = bound(QStringLiteral("c1"), 10);
        auto other = bound(QStringLiteral("other"), 11);
        auto c2 = bound(QStringLiteral("c2"), 10);
        RecordingAssistant second(QStringLiteral("a2"), &log);
        model->registerModelAssistant(&second);
        log.clear();
        QCOMPARE(model->setModelIntValue(10, 0), MODEL_RESULT_OK);
        QCOMPARE(model->setModelStringValue(20, QStringLiteral("home")), MODEL_RESULT_OK);
        QCOMPARE(model->setModelIntValue(20, 1), MODEL_RESULT_ERROR);
        QCOMPARE(model->setModelIntValue(99, 1), MODEL_RESULT_ERROR);
        QCOMPARE(model->setModelStringValue(10, QStringLiteral("x")), MODEL_RESULT_ERROR);
        QVERIFY(log.isEmpty());
        // Reading with the other kind's call is an error too.
        MODEL_RESULT r = MODEL_RESULT_OK;
        QCOMPARE(model->getModelIntValue(20, &r), 0);
        QCOMPARE(r, MODEL_RESULT_ERROR);

        // A value outside the range is stored and announced as it is.
        QCOMPARE(afterSetting(10, 5), (QStringList{"c1:10", "c2:10", "a:10", "a2:10"}));
        QCOMPARE(model->getModelIntValue(10), 5);
        log.clear();
        QCOMPARE(model->setModelStringValue(20, QStringLiteral("away")), MODEL_RESULT_OK);
        QCOMPARE(log, (QStringList{"a:20", "a2:20"}));
        QCOMPARE(model->getModelStringValue(20), QStringLiteral("away"));
        model->unregisterModelAssistant(&second);
    }

    // Connecting announces at once, without an identifier under UndefinedId. Connecting again
    // re-registers; one disconnect or the destructor removes every entry; nothing goes twice.
    void registrationsAreUndoneExactlyOnceAndNeedAModel()
    {
        RecordingConnection unbound(QStringLiteral("u"), &log);
        unbound.setParameterId(10);
        QCOMPARE(unbound.connectModel(nullptr), MODEL_RESULT_ERROR);
        QCOMPARE(unbound.modelChangedCount, 1);
        QVERIFY(!unbound.isConnected());
        QCOMPARE(unbound.disconnectModel(), MODEL_RESULT_ERROR);
        QCOMPARE(unbound.setCurrentValue(1), MODEL_RESULT_ERROR);
        QVERIFY(log.isEmpty());
        RecordingConnection unnamed(QStringLiteral("n"), &log);
        QCOMPARE(unnamed.connectModel(model.get()), MODEL_RESULT_OK);
        QCOMPARE(log, (QStringList{"n:4294967295", "a:4294967295"}));
        QCOMPARE(unnamed.modelChangedCount, 1);

        auto control = bound(QStringLiteral("c"), 10);
        QCOMPARE(model->unregisterModelConnection(control.get()), MODEL_RESULT_OK);
        QCOMPARE(model->unregisterModelConnection(control.get()), MODEL_RESULT_ERROR);
        QCOMPARE(model->unregisterModelConnection(nullptr), MODEL_RESULT_ERROR);
        QCOMPARE(model->registerModelConnection(nullptr), MODEL_RESULT_ERROR);
        QCOMPARE(afterSetting(10, 1), QStringList{"a:10"});
        RecordingAssistant other(QStringLiteral("o"), &log);
        QCOMPARE(model->unregisterModelAssistant(&other), MODEL_RESULT_ERROR);
        model->registerModelAssistant(&other);
        QCOMPARE(model->unregisterModelAssistant(&other), MODEL_RESULT_OK);
        QCOMPARE(model->unregisterModelAssistant(&other), MODEL_RESULT_ERROR);

        auto twice = bound(QStringLiteral("t"), 10);
        twice->connectModel(model.get());
        QCOMPARE(afterSetting(10, 0), (QStringList{"t:10", "t:10", "a:10"}));
        twice.reset();
        QCOMPARE(afterSetting(10, 1), QStringList{"a:10"});

        auto disconnected = bound(QStringLiteral("d"), 10);
        disconnected->connectModel(model.get());
        int const changes = disconnected->modelChangedCount;
        QCOMPARE(disconnected->disconnectModel(), MODEL_RESULT_OK);
        QCOMPARE(disconnected->modelChangedCount, changes + 1);
        QVERIFY(!disconnected->isConnected());
        QCOMPARE(afterSetting(10, 0), QStringList{"a:10"});

        // Connecting to another model leaves the first.
        Model second;
        second.createIntParameter(10, 0, 1, 0, QString(), nullptr, nullptr);
        auto moved = bound(QStringLiteral("m"), 10);
        QCOMPARE(moved->connectModel(&second), MODEL_RESULT_OK);
        QCOMPARE(afterSetting(10, 1), QStringList{"a:10"});
        log.clear();
        second.setModelIntValue(10, 1);
        QCOMPARE(log, QStringList{"m:10"});
    }

    void observersAddedDuringAWalkCountFromTheNextChangeAndRemovedOnesAreSkipped()
    {
        std::unique_ptr<RecordingConnection> late;
        auto first = bound(QStringLiteral("first"), 10);
        first->onUpdate = [&](unsigned int) {
            if (late)
                return;
            late = std::make_unique<RecordingConnection>(QStringLiteral("late"), &log);
            late->setParameterId(10);
            late->connectModel(model.get());
        };
        // The nested registration announces on its own; the outer walk does not reach the newcomer.
        QCOMPARE(afterSetting(10, 1), (QStringList{"first:10", "first:10", "late:10", "a:10", "a:10"}));
        QCOMPARE(afterSetting(10, 0), (QStringList{"first:10", "late:10", "a:10"}));

        RecordingAssistant lateAssistant(QStringLiteral("lateA"), &log);
        bool registered = false;
        assistant->onUpdate = [&](unsigned int) {
            if (!registered)
                model->registerModelAssistant(&lateAssistant);
            registered = true;
        };
        QCOMPARE(afterSetting(11, 1), QStringList{"a:11"});
        QCOMPARE(afterSetting(11, 0), (QStringList{"a:11", "lateA:11"}));
        model->unregisterModelAssistant(&lateAssistant);

        // An observer destroyed during a walk is not called.
        auto killer = bound(QStringLiteral("killer"), 11);
        auto victim = bound(QStringLiteral("victim"), 11);
        auto later = std::make_unique<RecordingAssistant>(QStringLiteral("later"), &log);
        model->registerModelAssistant(later.get());
        killer->onUpdate = [&](unsigned int) { victim.reset(); };
        assistant->onUpdate = [&](unsigned int) {
            if (later)
                model->unregisterModelAssistant(later.get());
            later.reset();
        };
        QCOMPARE(afterSetting(11, 1), (QStringList{"killer:11", "a:11"}));
    }

    void viewHelperBindsTheWholeTreeDepthFirst()
    {
        model->unregisterModelAssistant(assistant.get());
        assistant.reset();
        QObject root;
        auto* a = new RecordingConnection(QStringLiteral("a"), &log, &root);
        auto* b = new RecordingConnection(QStringLiteral("b"), &log, new QObject(&root));
        auto* c = new RecordingConnection(QStringLiteral("c"), &log, a);
        auto* d = new RecordingConnection(QStringLiteral("d"), &log, &root);
        a->setParameterId(10);
        b->setParameterId(11);
        c->setParameterId(11);
        d->setParameterId(20);

        CommonViewHelper helper(model.get());
        helper.connectModel(&root);
        // b announces to c too, which was bound first.
        QCOMPARE(log, (QStringList{"a:10", "c:11", "c:11", "b:11", "d:20"}));
        QVERIFY(a->isConnected() && b->isConnected() && c->isConnected() && d->isConnected());
        helper.connectModel(nullptr);
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
            int const minimum = app->getModelMinimumValue(id, &r);
            if (r != MODEL_RESULT_OK) {
                QVERIFY2(!switches.contains(id), qPrintable(QString::number(id)));
                continue;
            }
            ++rows;
            int const maximum = app->getModelMaximumValue(id);
            int const defaultValue = app->getModelDefaultValue(id);
            QVERIFY2(minimum <= defaultValue && defaultValue <= maximum, qPrintable(QString::number(id)));
            if (switches.contains(id)) {
                QVERIFY(minimum == 0 && maximum == 1 && defaultValue == 0);
            }
            // Settings and preferences are named; switches and the editor's state are not.
            QCOMPARE(app->getModelParameterName(id).isEmpty(), id < 500 || switches.contains(id));
            QStringList texts;
            for (int value = minimum; value <= std::min(maximum, minimum + 3); ++value) {
                r = MODEL_RESULT_ERROR;
                texts << app->getParameterString(id, value, &r);
                QVERIFY(!texts.last().isEmpty());
                QCOMPARE(r, MODEL_RESULT_OK);
            }
            QCOMPARE(texts.removeDuplicates(), 0);
            // Outside the range a value is either printed as a number or refused without a text.
            for (qint64 const outside : {qint64(minimum) - 1, qint64(maximum) + 1}) {
                if (outside < INT_MIN || outside > INT_MAX)
                    continue;
                r = MODEL_RESULT_OK;
                QString const text = app->getParameterString(id, int(outside), &r);
                QVERIFY2(r == MODEL_RESULT_OK ? text == QString::number(outside) : text.isEmpty(),
                         qPrintable(QStringLiteral("%1 at %2").arg(id).arg(outside)));
            }
        }
        QCOMPARE(rows, switches.size() + 3 + 7 + 9 + 4);
        MODEL_RESULT r = MODEL_RESULT_OK;
        app->getModelParameterName(UndefinedId, &r);
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
        QTEST(app->getModelMinimumValue(id), "minimum");
        QTEST(app->getModelMaximumValue(id), "maximum");
        QTEST(app->getModelDefaultValue(id), "defaultValue");
        QTEST(app->getModelParameterName(id), "name");
        QTEST(app->getParameterString(id, maximum), "textOfMaximum");
    }

    void editFlagLockNests()
    {
        QCOMPARE(app->getParameterEditFlag(), ParameterEditFlagUnchanged);
        // An unpaired unlock does not leave the flag locked for ever.
        app->unlockParameterEditFlag();
        RecordingAssistant assistant(QStringLiteral("a"), &log);
        app->registerModelAssistant(&assistant);

        app->lockParameterEditFlag();
        app->lockParameterEditFlag();
        app->unlockParameterEditFlag();
        app->setParameterEditFlag(1);
        QCOMPARE(app->getParameterEditFlag(), ParameterEditFlagUnchanged);
        QVERIFY(log.isEmpty());

        app->unlockParameterEditFlag();
        app->setParameterEditFlag(1);
        app->setParameterEditFlag(1);
        QCOMPARE(app->getParameterEditFlag(), ParameterEditFlagChanged);
        QCOMPARE(log, QStringList{"a:3"});

        // The lock only holds back the flag: other parameters change as usual.
        app->lockParameterEditFlag();
        app->setModelIntValue(501, 200);
        app->setParameterEditFlag(0);
        app->unlockParameterEditFlag();
        QCOMPARE(app->getModelIntValue(501), 200);
        QCOMPARE(app->getParameterEditFlag(), ParameterEditFlagChanged);
        app->unregisterModelAssistant(&assistant);
    }

    void dialsFollowTheKnobModeBeforeBoundControls()
    {
        FakeDial first(QStringLiteral("d1"), &log);
        FakeDial second(QStringLiteral("d2"), &log);
        RecordingConnection control(QStringLiteral("c"), &log);
        control.setParameterId(KnobModeParameterId);
        control.connectModel(app.get());
        RecordingAssistant assistant(QStringLiteral("a"), &log);
        app->registerModelAssistant(&assistant);
        app->setModelIntValue(KnobModeParameterId, 1);
        // A dial registered later takes up the mode at once; registering twice counts once.
        app->registerDial(&first);
        app->registerDial(&second);
        app->registerDial(&first);
        QCOMPARE(first.knobMode, 1);
        log.clear();

        app->setModelIntValue(KnobModeParameterId, 0);
        QCOMPARE(log, (QStringList{"d1:mode0", "d2:mode0", "c:1200", "a:1200"}));

        log.clear();
        app->setModelIntValue(MessageParsedParameterId, 0);
        QCOMPARE(log, QStringList{"a:1207"});

        app->unregisterDial(&first);
        log.clear();
        app->setModelIntValue(KnobModeParameterId, 1);
        QCOMPARE(log, (QStringList{"d2:mode1", "c:1200", "a:1200"}));
        app->unregisterModelAssistant(&assistant);
        control.disconnectModel();

        // A destroyed dial, and a null one, are skipped.
        auto gone = std::make_unique<FakeDial>(QStringLiteral("gone"), &log);
        app->registerDial(gone.get());
        app->registerDial(nullptr);
        gone.reset();
        log.clear();
        app->setModelIntValue(KnobModeParameterId, 0);
        QCOMPARE(log, QStringList{"d2:mode0"});
        app->unregisterDial(&second);
    }
};

QTEST_GUILESS_MAIN(tst_ParameterModel)
#include "tst_ParameterModel.moc"
