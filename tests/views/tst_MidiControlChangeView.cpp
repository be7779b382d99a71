#include "ToolViewFixture.h"

#include "views/MidiControlChangeView.h"
#include "widgets/Dial.h"
#include "widgets/SpinBox.h"

#include <QComboBox>
#include <QPushButton>
#include <QtTest>

#include <memory>

class tst_MidiControlChangeView : public QObject {
    Q_OBJECT

private slots:
    void init() { f = std::make_unique<ToolViewFixture>(); }
    void cleanup()
    {
        QVERIFY(f->everythingWentToBothOutputsWithWaits());
        f.reset();
    }

    void startsAtTheControllersRestingValueWithoutSending_data()
    {
        QTest::addColumn<int>("controller");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("entry");
        QTest::newRow("bank select") << 0 << 0 << "000 Bank (MSB)";
        QTest::newRow("breath") << 2 << 127 << "002 Breath";
        QTest::newRow("volume") << 7 << 100 << "007 Volume";
        QTest::newRow("expression") << 11 << 127 << "011 Expression";
        QTest::newRow("hold") << 64 << 0 << "064 Damper Pedal";
        QTest::newRow("legato") << 68 << 64 << "068 Legato";
        QTest::newRow("poly on") << 127 << 0 << "127 Poly On";
    }
    void startsAtTheControllersRestingValueWithoutSending()
    {
        QFETCH(int, controller);
        QFETCH(int, value);
        QFETCH(QString, entry);
        MidiControlChangeView view(nullptr, static_cast<unsigned char>(controller), &f->model);
        QCOMPARE(view.controllerComboBox()->count(), 128);
        QCOMPARE(view.controllerComboBox()->currentText(), entry);
        QCOMPARE(view.valueDial()->value(), value);
        QCOMPARE(view.valueDial()->resetValue(), value);
        QCOMPARE(view.getRestorationParameters(), (QList<QVariant>{controller, 0}));
        QVERIFY(f->edited());
        QVERIFY(f->takeSent().isEmpty());
    }

    void knobSendsOnTheChosenChannel_data()
    {
        QTest::addColumn<int>("channel");
        QTest::addColumn<QString>("sent");
        QTest::newRow("channel 1") << 1 << "B0 07 0A";
        QTest::newRow("channel 16") << 16 << "BF 07 0A";
    }
    void knobSendsOnTheChosenChannel()
    {
        QFETCH(int, channel);
        QFETCH(QString, sent);
        MidiControlChangeView view(nullptr, 7, &f->model);
        view.channelSpinBox()->setValue(channel);
        f->clearEdited();
        view.valueDial()->setValue(10);
        QCOMPARE(f->takeSent(), QStringList{sent});
        QVERIFY(f->edited());
    }

    void choosingAnotherControllerMovesOnlyTheResetValue()
    {
        MidiControlChangeView view(nullptr, 1, &f->model);
        view.valueDial()->setValue(30);
        f->takeSent();
        f->clearEdited();
        view.controllerComboBox()->setCurrentIndex(7);
        QCOMPARE(view.valueDial()->value(), 30);
        QCOMPARE(view.valueDial()->resetValue(), 100);
        QVERIFY(f->takeSent().isEmpty());
        QVERIFY(f->edited());
        // Stored as an int, which project files and the settings file can hold.
        const QVariant stored = view.getRestorationParameters().value(0);
        QCOMPARE(stored.userType(), int(QMetaType::Int));
        QCOMPARE(stored.toInt(), 7);
        QVERIFY(ProjectFileHelper::isStorableParameter(stored));
    }

    void transmitRepeatsTheValueWithoutMarkingTheProject()
    {
        MidiControlChangeView view(nullptr, 10, &f->model);
        f->clearEdited();
        QTest::mousePress(view.transmitButton(), Qt::LeftButton);
        QCOMPARE(f->takeSent(), QStringList{"B0 0A 40"});
        QVERIFY(!f->edited());
        QTest::mouseRelease(view.transmitButton(), Qt::LeftButton);
        QVERIFY(f->takeSent().isEmpty());
    }

    void damagedPayloadValuesStayInRange()
    {
        MidiControlChangeView view(nullptr, 7, &f->model);
        QVERIFY(ToolViewFixture::read(view, ToolViewFixture::payloadOf({{0, 40}, {1, 300}, {2, 1000}, {3, 0}})));
        QCOMPARE(view.channelSpinBox()->value(), 16);
        QCOMPARE(view.controllerComboBox()->currentIndex(), 7);
        QCOMPARE(view.valueDial()->value(), 127);
        QCOMPARE(f->takeSent(), QStringList{"BF 07 7F"});
    }

    void closingMarksTheProject()
    {
        MidiControlChangeView view(nullptr, 7, &f->model);
        f->clearEdited();
        view.close();
        QVERIFY(f->edited());
    }

private:
    std::unique_ptr<ToolViewFixture> f;
};

QTEST_MAIN(tst_MidiControlChangeView)
#include "tst_MidiControlChangeView.moc"
