#include "ToolViewFixture.h"

#include "views/MidiProgramChangeView.h"
#include "widgets/SevenSegment.h"
#include "widgets/SpinBox.h"

#include <QCheckBox>
#include <QPushButton>
#include <QtTest>

#include <memory>

class tst_MidiProgramChangeView : public QObject {
    Q_OBJECT

private slots:
    void init() { f = std::make_unique<ToolViewFixture>(); }
    void cleanup()
    {
        QVERIFY(f->everythingWentToBothOutputsWithWaits());
        f.reset();
    }

    void transmitSendsBankSelectThenProgram_data()
    {
        QTest::addColumn<int>("base");
        QTest::addColumn<int>("channel");
        QTest::addColumn<int>("msb"); // -1: not checked
        QTest::addColumn<int>("lsb");
        QTest::addColumn<int>("displayed");
        QTest::addColumn<QStringList>("sent");
        QTest::newRow("one-based 1") << 1 << 1 << -1 << -1 << 1 << QStringList{"C0 00"};
        QTest::newRow("zero-based 0") << 0 << 1 << -1 << -1 << 0 << QStringList{"C0 00"};
        QTest::newRow("bank and program") << 1 << 3 << 1 << 2 << 5 << QStringList{"B2 00 01", "B2 20 02", "C2 04"};
        QTest::newRow("LSB only, channel 16") << 0 << 16 << -1 << 9 << 127 << QStringList{"BF 20 09", "CF 7F"};
    }
    void transmitSendsBankSelectThenProgram()
    {
        QFETCH(int, base);
        QFETCH(int, channel);
        QFETCH(int, msb);
        QFETCH(int, lsb);
        QFETCH(int, displayed);
        QFETCH(QStringList, sent);
        f->model.setModelIntValue(ProgramNumberBaseParameterId, base);
        MidiProgramChangeView view(nullptr, &f->model);
        view.channelSpinBox()->setWidgetValue(channel);
        view.msbCheckBox()->setChecked(msb >= 0);
        view.msbSpinBox()->setWidgetValue(qMax(msb, 0));
        view.lsbCheckBox()->setChecked(lsb >= 0);
        view.lsbSpinBox()->setWidgetValue(qMax(lsb, 0));
        view.programNumberDisplay()->setValue(displayed);
        QVERIFY(f->takeSent().isEmpty());
        f->clearEdited();
        QTest::mousePress(view.transmitButton(), Qt::LeftButton);
        QCOMPARE(f->takeSent(), sent);
        QVERIFY(!f->edited());
    }

    void autoTransmitSendsOnEveryChange()
    {
        MidiProgramChangeView view(nullptr, &f->model);
        const auto changes = std::vector<std::function<void()>>{
            [&] { view.channelSpinBox()->stepBy(1); },
            [&] { view.msbSpinBox()->stepBy(1); },
            [&] { view.lsbSpinBox()->stepBy(1); },
            [&] { view.programNumberDisplay()->increase(); },
        };
        for (bool autoTransmit : {false, true}) {
            view.autoTransmitCheckBox()->setChecked(autoTransmit);
            for (const auto& change : changes) {
                f->clearEdited();
                change();
                QVERIFY(f->edited());
                QCOMPARE(f->takeSent().size(), autoTransmit ? 1 : 0);
            }
        }
        f->clearEdited();
        view.msbCheckBox()->setChecked(true);
        QVERIFY(f->edited());
        QVERIFY(f->takeSent().isEmpty());
    }

    void switchingTheBaseKeepsTheSameProgram()
    {
        MidiProgramChangeView view(nullptr, &f->model);
        SevenSegment* display = view.programNumberDisplay();
        QCOMPARE(display->minimum(), 1);
        display->setValue(5);
        view.autoTransmitCheckBox()->setChecked(true);
        f->takeSent();
        f->model.setModelIntValue(ProgramNumberBaseParameterId, 0);
        QCOMPARE(display->value(), 4);
        QCOMPARE(display->minimum(), 0);
        QCOMPARE(display->maximum(), 127);
        QCOMPARE(display->resetValue(), 0);
        f->model.setModelIntValue(ProgramNumberBaseParameterId, 1);
        QCOMPARE(display->value(), 5);
        QCOMPARE(display->maximum(), 128);
        QVERIFY(f->takeSent().isEmpty());
    }

    void programNumberIsConvertedToTheCurrentBase_data()
    {
        QTest::addColumn<int>("currentBase");
        QTest::addColumn<int>("savedBase"); // -1: no record
        QTest::addColumn<int>("saved");
        QTest::addColumn<int>("shown");
        QTest::newRow("saved zero-based, now one-based") << 1 << 0 << 4 << 5;
        QTest::newRow("saved one-based, now zero-based") << 0 << 1 << 5 << 4;
        QTest::newRow("same base") << 0 << 0 << 4 << 4;
        QTest::newRow("no base record, now zero-based") << 0 << -1 << 5 << 4;
        QTest::newRow("no base record, now one-based") << 1 << -1 << 5 << 5;
        QTest::newRow("damaged number") << 1 << 1 << 5000 << 128;
    }
    void programNumberIsConvertedToTheCurrentBase()
    {
        QFETCH(int, currentBase);
        QFETCH(int, savedBase);
        QFETCH(int, saved);
        QFETCH(int, shown);
        f->model.setModelIntValue(ProgramNumberBaseParameterId, currentBase);
        MidiProgramChangeView view(nullptr, &f->model);
        QList<QPair<qint32, qint32>> records{{0, 1}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, saved}, {6, 0}};
        if (savedBase >= 0) {
            records.append({7, savedBase});
        }
        QVERIFY(ToolViewFixture::read(view, ToolViewFixture::payloadOf(records)));
        QCOMPARE(view.programNumberDisplay()->value(), shown);
    }

    void damagedBankValuesStayInRange()
    {
        MidiProgramChangeView view(nullptr, &f->model);
        QVERIFY(ToolViewFixture::read(
            view, ToolViewFixture::payloadOf({{0, 17}, {1, 1}, {2, 999}, {3, 7}, {4, -3}, {5, 1}, {6, 0}, {7, 1}})));
        QCOMPARE(view.channelSpinBox()->committedValue(), 16);
        QCOMPARE(view.msbSpinBox()->committedValue(), 127);
        QCOMPARE(view.lsbSpinBox()->committedValue(), 0);
        view.transmitButtonPressed();
        QCOMPARE(f->takeSent(), (QStringList{"BF 00 7F", "BF 20 00", "CF 00"}));
    }

    void closingMarksTheProject()
    {
        MidiProgramChangeView view(nullptr, &f->model);
        f->clearEdited();
        view.close();
        QVERIFY(f->edited());
    }

private:
    std::unique_ptr<ToolViewFixture> f;
};

QTEST_MAIN(tst_MidiProgramChangeView)
#include "tst_MidiProgramChangeView.moc"
