#include "RecordingObservers.h"

#include "model/DialIF.h"
#include "model/TulvarMidiModel.h"

#include <QtTest>
#include <memory>

namespace {

class FakeDial : public QObject, public DialIF {
public:
    FakeDial(QString name, QStringList* log)
        : m_name(std::move(name))
        , m_log(log)
    {
    }

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

    void startsUnchangedAndUnlocked()
    {
        QCOMPARE(model->getParameterEditFlag(), ParameterEditFlagUnchanged);
        QVERIFY(model->getProjectFilePath().isEmpty());
        model->setParameterEditFlag(ParameterEditFlagChanged);
        QCOMPARE(model->getParameterEditFlag(), ParameterEditFlagChanged);
        QCOMPARE(model->getModelIntValue(EditFlagParameterId), 1);
    }

    void editFlagLockNests()
    {
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
        QCOMPARE(model->getParameterEditFlag(), ParameterEditFlagChanged);
        QCOMPARE(log, QStringList{"a:3"});

        // Setting the flag it already has announces nothing.
        model->setParameterEditFlag(1);
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

    void unpairedUnlockDoesNotLockTheFlag()
    {
        model->unlockParameterEditFlag();
        model->setParameterEditFlag(1);
        QCOMPARE(model->getParameterEditFlag(), ParameterEditFlagChanged);
    }

    void registeredDialTakesUpTheKnobModeAtOnce()
    {
        model->setModelIntValue(KnobModeParameterId, 1);
        FakeDial dial(QStringLiteral("d"), &log);
        model->registerDial(&dial);
        QCOMPARE(dial.knobMode, 1);
        model->unregisterDial(&dial);
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
        model->registerDial(&first);
        model->registerDial(&second);
        model->registerDial(&first);
        log.clear();

        model->setModelIntValue(KnobModeParameterId, 1);
        QCOMPARE(log, (QStringList{"d1:mode1", "d2:mode1", "c:1200", "a:1200"}));

        log.clear();
        model->setModelIntValue(MessageParsedParameterId, 0);
        QCOMPARE(log, QStringList{"a:1207"});

        model->unregisterDial(&first);
        log.clear();
        model->setModelIntValue(KnobModeParameterId, 0);
        QCOMPARE(log, (QStringList{"d2:mode0", "c:1200", "a:1200"}));
        model->unregisterModelAssistant(&assistant);
        model->unregisterDial(&second);
    }

    void destroyedDialsAreSkipped()
    {
        auto gone = std::make_unique<FakeDial>(QStringLiteral("gone"), &log);
        FakeDial kept(QStringLiteral("kept"), &log);
        model->registerDial(gone.get());
        model->registerDial(&kept);
        gone.reset();
        log.clear();
        model->setModelIntValue(KnobModeParameterId, 1);
        QCOMPARE(log, QStringList{"kept:mode1"});

        // A new registration drops the dead entry.
        FakeDial other(QStringLiteral("other"), &log);
        model->registerDial(&other);
        model->registerDial(nullptr);
        log.clear();
        model->setModelIntValue(KnobModeParameterId, 0);
        QCOMPARE(log, (QStringList{"kept:mode0", "other:mode0"}));
        model->unregisterDial(&kept);
        model->unregisterDial(&other);
    }

    void projectFilePathIsKept()
    {
        model->setProjectFilePath(QStringLiteral("/tmp/a.tulvarmidi"));
        QCOMPARE(model->getProjectFilePath(), QStringLiteral("/tmp/a.tulvarmidi"));
    }
};

QTEST_GUILESS_MAIN(tst_ApplicationModel)
#include "tst_ApplicationModel.moc"
