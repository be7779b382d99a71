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

class tst_ApplicationModel : public QObject {
    Q_OBJECT

private:
    QStringList log;
    std::unique_ptr<TulvarMidiModel> model;

private slots:
    void init()
    {
        log.clear();
        model = std::make_unique<TulvarMidiModel>();
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
