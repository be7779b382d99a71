#include "ShellTestSupport.h"

#include "app/QuitSignalHandler.h"
#include "support/CommonTexts.h"
#include "model/TulvarMidiParameters.h"
#include "persistence/RegistryKeys.h"
#include "persistence/SettingsStore.h"

#include <QSettings>
#include <QtTest>

#include <csignal>

class tst_QuitSignals : public QObject {
    Q_OBJECT

private slots:
    // Unsaved work and a question on the screen: the signal answers nothing and saves no project,
    // but the preferences changed through the model reach the settings file.
    void quitSignalClosesWithoutTheQuestionAndWritesTheSettings()
    {
        ShellFixture fixture;
        MainWindow& window = fixture.create();
        window.show();
        QuitSignalHandler handler;
        connect(&handler, &QuitSignalHandler::quitRequested, &window, &MainWindow::quitWithoutConfirmation);
        fixture.model.setModelIntValue(PCKeyboardVelocityParameterId, 99);
        fixture.model.setModelIntValue(EditFlagParameterId, ParameterEditFlagChanged);

        // A box nobody answers is on the screen when the signal comes.
        {
            QMessageBox box(QMessageBox::Information, ApplicationName, QStringLiteral("waiting"), QMessageBox::Ok,
                            &window);
            box.setProperty("answered", true);
            QTimer::singleShot(0, [] { ::raise(SIGTERM); });
            box.exec();
        }
        QTRY_VERIFY_WITH_TIMEOUT(!window.isVisible(), 10000);
        QCOMPARE(fixture.boxes.texts, QStringList());
        QCOMPARE(fixture.model.getProjectFilePath(), QString());

        fixture.window.reset();
        QSettings const settings(SettingsStore::defaultIniFilePath(), QSettings::IniFormat);
        QCOMPARE(settings.value(QStringLiteral("Preferences/") + PCKeyboardVelocityRegistrykey).toInt(), 99);
        QVERIFY(settings.childGroups().contains(QStringLiteral("SavePosition")));
    }
};

QTEST_MAIN(tst_QuitSignals)
#include "tst_QuitSignals.moc"
