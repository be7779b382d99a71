#include "MidiEditFixture.h"
#include "testkit/Hex.h"

#include "views/MidiTransportPanelView.h"
#include "widgets/MidiTransportPanelPlayStopButton.h"
#include "widgets/SpinBox.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

// Types a value and finishes the entry, as a user committing it.
void commit(SpinBox* spinBox, int value)
{
    spinBox->findChild<QLineEdit*>()->selectAll();
    QTest::keyClicks(spinBox, QString::number(value));
    QTest::keyClick(spinBox, Qt::Key_Return);
}

} // namespace

class tst_TransportPanelView : public QObject {
    Q_OBJECT

private slots:
    void init() { m_fixture = std::make_unique<MidiEditFixture>(); }
    void cleanup() { m_fixture.reset(); }

    void committedValuesAreSentAndMarkTheProject_data()
    {
        QTest::addColumn<bool>("songNumber");
        QTest::addColumn<int>("value");
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("position 16383") << false << 16383 << hex("F2 7F 7F");
        QTest::newRow("position 128") << false << 128 << hex("F2 00 01");
        QTest::newRow("song 1") << true << 1 << hex("F3 00");
        QTest::newRow("song 128") << true << 128 << hex("F3 7F");
    }

    void committedValuesAreSentAndMarkTheProject()
    {
        QFETCH(bool, songNumber);
        QFETCH(int, value);
        QFETCH(QByteArray, message);
        MidiTransportPanelView view(nullptr, &m_fixture->model);
        view.show();
        SpinBox* spinBox = songNumber ? view.songNumberSpinBox() : view.songPositionSpinBox();
        // Start away from the value, so that committing it is a change.
        spinBox->setWidgetValue(value == 1 ? 2 : 1);
        m_fixture->model.setParameterEditFlag(ParameterEditFlagUnchanged);

        commit(spinBox, value);
        QCOMPARE(m_fixture->mainWindow.transmitter.sentBytes(), QList<QByteArray>{message});
        QCOMPARE(m_fixture->model.getParameterEditFlag(), ParameterEditFlagChanged);

        // "Transmit" sends the same again and leaves the project as it is.
        m_fixture->model.setParameterEditFlag(ParameterEditFlagUnchanged);
        QPushButton* transmit = songNumber ? view.songNumberTransmitButton() : view.songPositionTransmitButton();
        QTest::mousePress(transmit, Qt::LeftButton);
        QTest::mouseRelease(transmit, Qt::LeftButton);
        QCOMPARE(m_fixture->mainWindow.transmitter.sentBytes(), (QList<QByteArray>{message, message}));
        QCOMPARE(m_fixture->model.getParameterEditFlag(), ParameterEditFlagUnchanged);
    }

    void transportButtonsSendOneByteWithoutMarkingTheProject()
    {
        MidiTransportPanelView view(nullptr, &m_fixture->model);
        m_fixture->model.setParameterEditFlag(ParameterEditFlagUnchanged);
        QCOMPARE(view.stopButton()->toolTip(), QStringLiteral("Stop"));
        QCOMPARE(view.continueButton()->toolTip(), QStringLiteral("Continue"));
        QCOMPARE(view.startButton()->toolTip(), QStringLiteral("Start"));
        for (QPushButton* button : {static_cast<QPushButton*>(view.stopButton()), static_cast<QPushButton*>(view.continueButton()),
                                    static_cast<QPushButton*>(view.startButton())}) {
            QVERIFY(!button->isCheckable());
            QTest::mousePress(button, Qt::LeftButton);
            QTest::mouseRelease(button, Qt::LeftButton);
        }
        QCOMPARE(m_fixture->mainWindow.transmitter.sentBytes(), (QList<QByteArray>{hex("FC"), hex("FB"), hex("FA")}));
        QCOMPARE(m_fixture->model.getParameterEditFlag(), ParameterEditFlagUnchanged);
    }

    void payloadIsAppliedWithoutSending()
    {
        MidiTransportPanelView saved(nullptr, &m_fixture->model);
        saved.songNumberSpinBox()->setWidgetValue(128);
        saved.songPositionSpinBox()->setWidgetValue(16383);
        QByteArray payload;
        QDataStream out(&payload, QIODevice::WriteOnly);
        QVERIFY(saved.getDataStream(out));

        MidiTransportPanelView opened(nullptr, &m_fixture->model);
        QDataStream in(payload);
        QVERIFY(opened.setDataStream(in));
        QCOMPARE(opened.songNumberSpinBox()->value(), 128);
        QCOMPARE(opened.songPositionSpinBox()->value(), 16383);
        QVERIFY(m_fixture->mainWindow.transmitter.sentBytes().empty());
    }

private:
    std::unique_ptr<MidiEditFixture> m_fixture;
};

QTEST_MAIN(tst_TransportPanelView)
#include "tst_TransportPanelView.moc"
