#include "ToolViewFixture.h"

#include "views/MidiPitchbendView.h"
#include "widgets/MidiPitchbendSlider.h"
#include "widgets/SpinBox.h"

#include <QCheckBox>
#include <QPushButton>
#include <QtTest>

#include <memory>

class tst_MidiPitchbendView : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        f = std::make_unique<ToolViewFixture>();
        view = std::make_unique<MidiPitchbendView>(nullptr, &f->model);
        view->resize(220, 274);
    }
    void cleanup()
    {
        QVERIFY(f->everythingWentToBothOutputsWithWaits());
        view.reset();
        f.reset();
    }

    void sliderStepsSendAndShow_data()
    {
        QTest::addColumn<int>("step");
        QTest::addColumn<QString>("sent");
        QTest::addColumn<int>("shown");
        QTest::newRow("centre") << 64 << "E0 00 40" << 0;
        QTest::newRow("top") << 127 << "E0 7F 7F" << 8191;
        QTest::newRow("bottom") << 0 << "E0 00 00" << -8192;
        QTest::newRow("first step up") << 65 << "E0 02 41" << 130;
        QTest::newRow("last step down") << 63 << "E0 00 3F" << -128;
    }
    void sliderStepsSendAndShow()
    {
        QFETCH(int, step);
        QFETCH(QString, sent);
        QFETCH(int, shown);
        view->wheelModeCheckBox()->setChecked(false);
        view->slider()->setValue(step == 64 ? 0 : 64);
        f->takeSent();
        view->slider()->setValue(step);
        QCOMPARE(f->takeSent(), QStringList{sent});
        QCOMPARE(view->displaySpinBox()->value(), shown);
    }

    void committedDisplaySendsOnceAndMovesTheSlider_data()
    {
        QTest::addColumn<int>("display");
        QTest::addColumn<QString>("sent");
        QTest::addColumn<int>("step");
        QTest::newRow("top") << 8191 << "E0 7F 7F" << 127;
        QTest::newRow("just above the first step") << 129 << "E0 01 41" << 64;
        QTest::newRow("first step") << 130 << "E0 02 41" << 65;
        QTest::newRow("bottom") << -8192 << "E0 00 00" << 0;
        QTest::newRow("just below centre") << -1 << "E0 7F 3F" << 63;
    }
    void committedDisplaySendsOnceAndMovesTheSlider()
    {
        QFETCH(int, display);
        QFETCH(QString, sent);
        QFETCH(int, step);
        view->wheelModeCheckBox()->setChecked(false);
        view->channelSpinBox()->setValue(1);
        f->takeSent();
        view->displaySpinBox()->setValue(display);
        view->displaySpinBox()->inputCompletion();
        QCOMPARE(f->takeSent(), QStringList{sent});
        QCOMPARE(view->slider()->value(), step);
    }

    void wheelModeSpringsBackAndLocksTheDisplay()
    {
        QVERIFY(view->wheelModeCheckBox()->isChecked());
        QVERIFY(!view->displaySpinBox()->isEnabled());
        view->show();
        QTest::mousePress(view->slider(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 0));
        QTest::mouseRelease(view->slider(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 0));
        QCOMPARE(f->takeSent(), (QStringList{"E0 7F 7F", "E0 00 40"}));

        view->wheelModeCheckBox()->setChecked(false);
        QVERIFY(view->displaySpinBox()->isEnabled());
        view->slider()->setValue(100);
        f->takeSent();
        view->wheelModeCheckBox()->setChecked(true);
        QCOMPARE(view->slider()->value(), 64);
        QCOMPARE(f->takeSent(), QStringList{"E0 00 40"});
    }

    void transmitSendsTheDisplayedValueWithoutMarkingTheProject()
    {
        view->channelSpinBox()->setValue(2);
        view->wheelModeCheckBox()->setChecked(false);
        view->slider()->setValue(65);
        f->takeSent();
        f->clearEdited();
        QTest::mousePress(view->transmitButton(), Qt::LeftButton);
        QCOMPARE(f->takeSent(), QStringList{"E1 02 41"});
        QVERIFY(!f->edited());
    }

    void userChangesMarkTheProject()
    {
        QVERIFY(f->edited()); // creation
        const auto changes = std::vector<std::function<void()>>{
            [&] { view->channelSpinBox()->setValue(3); },
            [&] { view->wheelModeCheckBox()->setChecked(false); },
            [&] { view->slider()->setValue(10); },
            [&] { view->close(); },
        };
        for (const auto& change : changes) {
            f->clearEdited();
            change();
            QVERIFY(f->edited());
        }
    }

    void damagedPayloadValuesStayInRange()
    {
        QVERIFY(ToolViewFixture::read(*view, ToolViewFixture::payloadOf({{0, 0}, {1, 0}, {2, 99999}})));
        QCOMPARE(view->channelSpinBox()->value(), 1);
        QCOMPARE(view->displaySpinBox()->committedValue(), 8191);
        view->transmitButtonPressed();
        QCOMPARE(f->takeSent().value(1), QString("E0 7F 7F"));

        unsigned char msb = 1;
        unsigned char lsb = 1;
        QVERIFY(!MidiPitchbendView::convertPitchBendValueToMsbLsb(16384, msb, lsb));
        QCOMPARE(msb + lsb, 0);
        QCOMPARE(MidiPitchbendView::convertPitchBendValueToSliderValue(-9000), 0);
        view->transmitPitchbendMessage(0, -1);
        QVERIFY(f->takeSent().isEmpty());
    }

private:
    std::unique_ptr<ToolViewFixture> f;
    std::unique_ptr<MidiPitchbendView> view;
};

QTEST_MAIN(tst_MidiPitchbendView)
#include "tst_MidiPitchbendView.moc"
