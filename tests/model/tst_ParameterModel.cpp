#include "RecordingObservers.h"

#include "model/CommonViewHelper.h"
#include "model/Model.h"

#include <QtTest>
#include <memory>

namespace {

QString negate(int value, MODEL_RESULT* result)
{
    setModelResult(result, value < 0 ? MODEL_RESULT_ERROR : MODEL_RESULT_OK);
    return QStringLiteral("minus %1").arg(value);
}

} // namespace

class tst_ParameterModel : public QObject {
    Q_OBJECT

private:
    QStringList log;
    std::unique_ptr<Model> model;

    std::unique_ptr<RecordingConnection> bound(QString const& name, unsigned int id)
    {
        auto connection = std::make_unique<RecordingConnection>(name, &log);
        connection->setParameterId(id);
        connection->connectModel(model.get());
        return connection;
    }

private slots:
    void init()
    {
        log.clear();
        model = std::make_unique<Model>();
        model->createIntParameter(10, 0, 1, 0, QStringLiteral("Switch"), nullptr, nullptr);
        model->createIntParameter(11, -8, 8, 3, QStringLiteral("Converted"), negate, nullptr);
        model->createStringParameter(20, QStringLiteral("home"), QStringLiteral("Folder"));
    }

    void lookupsSearchTheTableOfTheirKind()
    {
        MODEL_RESULT r = 99;
        QCOMPARE(model->getModelIntValue(11, &r), 3);
        QCOMPARE(r, MODEL_RESULT_OK);
        QCOMPARE(model->getModelMinimumValue(11, &r), -8);
        QCOMPARE(model->getModelMaximumValue(11, &r), 8);
        QCOMPARE(model->getModelDefaultValue(11, &r), 3);
        QCOMPARE(r, MODEL_RESULT_OK);

        QCOMPARE(model->getModelIntValue(20, &r), 0);
        QCOMPARE(r, MODEL_RESULT_ERROR);
        QCOMPARE(model->getModelMaximumValue(99, &r), 0);
        QCOMPARE(r, MODEL_RESULT_ERROR);
        QCOMPARE(model->getModelStringValue(10, &r), QString());
        QCOMPARE(r, MODEL_RESULT_ERROR);

        QCOMPARE(model->getModelStringValue(20, &r), QStringLiteral("home"));
        QCOMPARE(model->getModelDefaultStringValue(20, &r), QStringLiteral("home"));
        QCOMPARE(r, MODEL_RESULT_OK);

        QCOMPARE(model->getModelParameterName(10, &r), QStringLiteral("Switch"));
        QCOMPARE(model->getModelParameterName(20, &r), QStringLiteral("Folder"));
        QCOMPARE(r, MODEL_RESULT_OK);
        QCOMPARE(model->getModelParameterName(99, &r), QString());
        QCOMPARE(r, MODEL_RESULT_ERROR);

        // Every caller may pass no result pointer.
        QCOMPARE(model->getModelIntValue(99, nullptr), 0);
    }

    void parameterStringFollowsConverterOrDecimal_data()
    {
        QTest::addColumn<unsigned int>("id");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("text");
        QTest::addColumn<MODEL_RESULT>("result");
        QTest::newRow("no converter, negative") << 10u << -5 << "-5" << MODEL_RESULT_OK;
        QTest::newRow("no converter, outside range") << 10u << 1234 << "1234" << MODEL_RESULT_OK;
        QTest::newRow("converter decides the result") << 11u << -2 << "minus -2" << MODEL_RESULT_ERROR;
        QTest::newRow("converter") << 11u << 4 << "minus 4" << MODEL_RESULT_OK;
        QTest::newRow("string parameter ignores the value") << 20u << 7 << "home" << MODEL_RESULT_OK;
        QTest::newRow("unknown identifier") << 99u << 1 << "" << MODEL_RESULT_ERROR;
    }

    void parameterStringFollowsConverterOrDecimal()
    {
        QFETCH(unsigned int, id);
        QFETCH(int, value);
        QFETCH(QString, text);
        QFETCH(MODEL_RESULT, result);
        MODEL_RESULT r = 99;
        QCOMPARE(model->getParameterString(id, value, &r), text);
        QCOMPARE(r, result);
    }

    void writingTheSameValueNotifiesNobody()
    {
        auto control = bound(QStringLiteral("c"), 10);
        RecordingAssistant assistant(QStringLiteral("a"), &log);
        model->registerModelAssistant(&assistant);
        log.clear();

        QCOMPARE(model->setModelIntValue(10, 0), MODEL_RESULT_OK);
        QCOMPARE(model->setModelStringValue(20, QStringLiteral("home")), MODEL_RESULT_OK);
        QVERIFY(log.isEmpty());
        model->unregisterModelAssistant(&assistant);
    }

    void changeNotifiesBoundControlsInOrderThenAssistants()
    {
        RecordingAssistant first(QStringLiteral("a1"), &log);
        model->registerModelAssistant(&first);
        auto c1 = bound(QStringLiteral("c1"), 10);
        auto other = bound(QStringLiteral("other"), 11);
        auto c2 = bound(QStringLiteral("c2"), 10);
        RecordingAssistant second(QStringLiteral("a2"), &log);
        model->registerModelAssistant(&second);
        log.clear();

        QCOMPARE(model->setModelIntValue(10, 1), MODEL_RESULT_OK);
        QCOMPARE(log, (QStringList{"c1:10", "c2:10", "a1:10", "a2:10"}));

        log.clear();
        QCOMPARE(model->setModelStringValue(20, QStringLiteral("away")), MODEL_RESULT_OK);
        QCOMPARE(log, (QStringList{"a1:20", "a2:20"}));
        QCOMPARE(model->getModelStringValue(20), QStringLiteral("away"));
        model->unregisterModelAssistant(&first);
        model->unregisterModelAssistant(&second);
    }

    void valuesOutsideTheRangeAreStoredAndAnnounced()
    {
        RecordingAssistant assistant(QStringLiteral("a"), &log);
        model->registerModelAssistant(&assistant);
        QCOMPARE(model->setModelIntValue(10, 5), MODEL_RESULT_OK);
        QCOMPARE(model->getModelIntValue(10), 5);
        QCOMPARE(log, QStringList{"a:10"});
        model->unregisterModelAssistant(&assistant);
    }

    void writingAnUnknownParameterChangesNothing()
    {
        RecordingAssistant assistant(QStringLiteral("a"), &log);
        model->registerModelAssistant(&assistant);
        QCOMPARE(model->setModelIntValue(20, 1), MODEL_RESULT_ERROR);
        QCOMPARE(model->setModelIntValue(99, 1), MODEL_RESULT_ERROR);
        QCOMPARE(model->setModelStringValue(10, QStringLiteral("x")), MODEL_RESULT_ERROR);
        QVERIFY(log.isEmpty());
        model->unregisterModelAssistant(&assistant);
    }

    void connectingNotifiesEveryObserverOfThatIdentifierAtOnce()
    {
        auto earlier = bound(QStringLiteral("earlier"), 10);
        RecordingAssistant assistant(QStringLiteral("a"), &log);
        model->registerModelAssistant(&assistant);
        log.clear();

        RecordingConnection control(QStringLiteral("new"), &log);
        control.setParameterId(10);
        QCOMPARE(control.connectModel(model.get()), MODEL_RESULT_OK);
        QCOMPARE(log, (QStringList{"earlier:10", "new:10", "a:10"}));
        QCOMPARE(control.modelChangedCount, 1);
        QVERIFY(control.isConnected());
        model->unregisterModelAssistant(&assistant);
    }

    void connectingToNoModelFails()
    {
        RecordingConnection control(QStringLiteral("c"), &log);
        control.setParameterId(10);
        QCOMPARE(control.connectModel(nullptr), MODEL_RESULT_ERROR);
        QCOMPARE(control.modelChangedCount, 1);
        QVERIFY(!control.isConnected());
        QCOMPARE(control.disconnectModel(), MODEL_RESULT_ERROR);

        MODEL_RESULT r = 99;
        QCOMPARE(control.getMinimumValue(&r), 0);
        QCOMPARE(r, MODEL_RESULT_ERROR);
        QCOMPARE(control.getCurrentValue(&r), 0);
        QCOMPARE(r, MODEL_RESULT_ERROR);
        QCOMPARE(control.getDefaultValue(&r), 0);
        QCOMPARE(r, MODEL_RESULT_ERROR);
        QCOMPARE(control.getParameterString(1, &r), QString());
        QCOMPARE(r, MODEL_RESULT_ERROR);
        QCOMPARE(control.setCurrentValue(1), MODEL_RESULT_ERROR);
        QVERIFY(log.isEmpty());
    }

    void connectionForwardsToItsParameter()
    {
        auto control = bound(QStringLiteral("c"), 11);
        MODEL_RESULT r = 99;
        QCOMPARE(control->getMinimumValue(&r), -8);
        QCOMPARE(control->getMaximumValue(&r), 8);
        QCOMPARE(control->getDefaultValue(&r), 3);
        QCOMPARE(control->getCurrentValue(&r), 3);
        QCOMPARE(r, MODEL_RESULT_OK);
        QCOMPARE(control->getParameterString(2, &r), QStringLiteral("minus 2"));
        QCOMPARE(control->setCurrentValue(-1), MODEL_RESULT_OK);
        QCOMPARE(model->getModelIntValue(11), -1);
    }

    void unboundIdentifierIsFiledUnderUndefinedId()
    {
        RecordingConnection control(QStringLiteral("c"), &log);
        MODEL_RESULT r = 99;
        QCOMPARE(control.getParameterId(&r), UndefinedId);
        QCOMPARE(r, MODEL_RESULT_ERROR);
        QCOMPARE(control.connectModel(model.get()), MODEL_RESULT_OK);
        QCOMPARE(log, QStringList{"c:4294967295"});
        control.setParameterId(10);
        QCOMPARE(control.getParameterId(&r), 10u);
        QCOMPARE(r, MODEL_RESULT_OK);
    }

    void unregisteringTwiceFailsTheSecondTime()
    {
        auto control = bound(QStringLiteral("c"), 10);
        QCOMPARE(model->unregisterModelConnection(control.get()), MODEL_RESULT_OK);
        QCOMPARE(model->unregisterModelConnection(control.get()), MODEL_RESULT_ERROR);
        QCOMPARE(model->unregisterModelConnection(nullptr), MODEL_RESULT_ERROR);
        QCOMPARE(model->registerModelConnection(nullptr), MODEL_RESULT_ERROR);
        log.clear();
        model->setModelIntValue(10, 1);
        QVERIFY(log.isEmpty());

        RecordingAssistant assistant(QStringLiteral("a"), &log);
        QCOMPARE(model->unregisterModelAssistant(&assistant), MODEL_RESULT_ERROR);
        model->registerModelAssistant(&assistant);
        QCOMPARE(model->unregisterModelAssistant(&assistant), MODEL_RESULT_OK);
        QCOMPARE(model->unregisterModelAssistant(&assistant), MODEL_RESULT_ERROR);
    }

    void disconnectingStopsNotificationsAndReportsTheModelsResult()
    {
        auto control = bound(QStringLiteral("c"), 10);
        int const changes = control->modelChangedCount;
        QCOMPARE(control->disconnectModel(), MODEL_RESULT_OK);
        QCOMPARE(control->modelChangedCount, changes + 1);
        QVERIFY(!control->isConnected());
        log.clear();
        model->setModelIntValue(10, 1);
        QVERIFY(log.isEmpty());
    }

    void destroyedControlIsNoLongerNotified()
    {
        auto control = bound(QStringLiteral("c"), 10);
        control.reset();
        log.clear();
        model->setModelIntValue(10, 1);
        QVERIFY(log.isEmpty());
    }

    void controlRegisteredTwiceIsNotifiedTwice()
    {
        auto control = bound(QStringLiteral("c"), 10);
        QCOMPARE(model->registerModelConnection(control.get()), MODEL_RESULT_OK);
        log.clear();
        model->setModelIntValue(10, 1);
        QCOMPARE(log, (QStringList{"c:10", "c:10"}));
    }

    void controlConnectedTwiceLeavesNothingBehind()
    {
        auto control = bound(QStringLiteral("c"), 10);
        control->connectModel(model.get());
        log.clear();
        model->setModelIntValue(10, 1);
        QCOMPARE(log, (QStringList{"c:10", "c:10"}));

        control.reset();
        log.clear();
        model->setModelIntValue(10, 0);
        QVERIFY(log.isEmpty());

        auto disconnected = bound(QStringLiteral("d"), 10);
        disconnected->connectModel(model.get());
        QCOMPARE(disconnected->disconnectModel(), MODEL_RESULT_OK);
        log.clear();
        model->setModelIntValue(10, 1);
        QVERIFY(log.isEmpty());
    }

    void connectingToAnotherModelLeavesTheFirst()
    {
        Model other;
        other.createIntParameter(10, 0, 1, 0, QString(), nullptr, nullptr);
        auto control = bound(QStringLiteral("c"), 10);
        QCOMPARE(control->connectModel(&other), MODEL_RESULT_OK);
        log.clear();
        model->setModelIntValue(10, 1);
        QVERIFY(log.isEmpty());
        other.setModelIntValue(10, 1);
        QCOMPARE(log, QStringList{"c:10"});
        control.reset();
    }

    void recreatingAParameterResetsItSilently()
    {
        auto control = bound(QStringLiteral("c"), 11);
        model->setModelIntValue(11, 7);
        log.clear();
        QCOMPARE(model->createIntParameter(11, 0, 100, 50, QStringLiteral("New"), nullptr, nullptr),
                 MODEL_RESULT_OK);
        QCOMPARE(model->getModelIntValue(11), 50);
        QCOMPARE(model->getModelParameterName(11), QStringLiteral("New"));
        QCOMPARE(model->getParameterString(11, 3), QStringLiteral("3"));
        model->setModelStringValue(20, QStringLiteral("x"));
        log.clear();
        model->createStringParameter(20, QStringLiteral("y"), QStringLiteral("Y"));
        QCOMPARE(model->getModelStringValue(20), QStringLiteral("y"));
        QVERIFY(log.isEmpty());
    }

    void registrationsDuringAWalkCountFromTheNextChange()
    {
        std::unique_ptr<RecordingConnection> late;
        auto first = bound(QStringLiteral("first"), 10);
        first->onUpdate = [&](unsigned int) {
            if (!late) {
                late = std::make_unique<RecordingConnection>(QStringLiteral("late"), &log);
                late->setParameterId(10);
                late->connectModel(model.get());
            }
        };
        log.clear();
        model->setModelIntValue(10, 1);
        // The nested registration announces on its own; the outer walk does not reach the newcomer.
        QCOMPARE(log, (QStringList{"first:10", "first:10", "late:10"}));
        log.clear();
        model->setModelIntValue(10, 0);
        QCOMPARE(log, (QStringList{"first:10", "late:10"}));
    }

    void assistantsRegisteredDuringAWalkCountFromTheNextChange()
    {
        RecordingAssistant late(QStringLiteral("late"), &log);
        RecordingAssistant early(QStringLiteral("early"), &log);
        bool registered = false;
        early.onUpdate = [&](unsigned int) {
            if (!registered) {
                registered = true;
                model->registerModelAssistant(&late);
            }
        };
        model->registerModelAssistant(&early);
        model->setModelIntValue(10, 1);
        QCOMPARE(log, QStringList{"early:10"});
        log.clear();
        model->setModelIntValue(10, 0);
        QCOMPARE(log, (QStringList{"early:10", "late:10"}));
        model->unregisterModelAssistant(&early);
        model->unregisterModelAssistant(&late);
    }

    void observerDestroyedDuringAWalkIsNotCalled()
    {
        auto first = bound(QStringLiteral("first"), 10);
        auto second = bound(QStringLiteral("second"), 10);
        auto assistant = std::make_unique<RecordingAssistant>(QStringLiteral("a"), &log);
        model->registerModelAssistant(assistant.get());
        first->onUpdate = [&](unsigned int) {
            second.reset();
            if (assistant) {
                model->unregisterModelAssistant(assistant.get());
                assistant.reset();
            }
        };
        log.clear();
        model->setModelIntValue(10, 1);
        QCOMPARE(log, QStringList{"first:10"});
    }

    void viewHelperBindsTheWholeTreeDepthFirst()
    {
        QObject root;
        auto* a = new RecordingConnection(QStringLiteral("a"), &log, &root);
        auto* plain = new QObject(&root);
        auto* b = new RecordingConnection(QStringLiteral("b"), &log, plain);
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
};

QTEST_GUILESS_MAIN(tst_ParameterModel)
#include "tst_ParameterModel.moc"
