// The PC keyboard view shows the settings the computer keyboard's note manager reads.

#include "engine/KeyboardNoteEventManager.h"
#include "testkit/RecordingTransmitter.h"
#include "model/TulvarMidiModel.h"
#include "views/MidiPCKeyboardView.h"
#include "widgets/CheckBox.h"
#include "widgets/SpinBox.h"

#include <QLabel>
#include <QtTest>

class tst_MidiPCKeyboardView : public QObject {
    Q_OBJECT

private slots:
    void controlsAreNamedAndBoundToTheKeyboardSettings()
    {
        TulvarMidiModel model;
        MidiPCKeyboardView view(nullptr, &model);
        QCOMPARE(view.getWindowId(), WindowRestorationInfo::PCKeyboardId);
        QCOMPARE(view.enableCheckBox()->text(), QStringLiteral("Enable"));
        QCOMPARE(view.enableCheckBox()->getParameterId(), 1300u);
        QStringList labels;
        for (QLabel* label : view.findChildren<QLabel*>()) {
            labels.append(label->text());
        }
        QCOMPARE(labels, (QStringList{"Octave", "Channel", "Velocity"}));
        const QList<SpinBox*> spinBoxes{view.octaveSpinBox(), view.channelSpinBox(), view.velocitySpinBox()};
        const QList<QList<int>> expected{{1301, -5, 4, 0}, {1302, 1, 16, 1}, {1303, 0, 127, 64}};
        for (int i = 0; i < spinBoxes.size(); ++i) {
            QCOMPARE(int(spinBoxes[i]->getParameterId()), expected[i][0]);
            QCOMPARE(spinBoxes[i]->minimum(), expected[i][1]);
            QCOMPARE(spinBoxes[i]->maximum(), expected[i][2]);
            QCOMPARE(spinBoxes[i]->value(), expected[i][3]);
            QVERIFY(spinBoxes[i]->alignment() & Qt::AlignRight);
        }
    }

    void twoOpenViewsFollowEachOther()
    {
        TulvarMidiModel model;
        MidiPCKeyboardView first(nullptr, &model);
        MidiPCKeyboardView second(nullptr, &model);
        first.velocitySpinBox()->stepBy(10);
        QCOMPARE(second.velocitySpinBox()->value(), 74);
        QTest::mouseClick(second.enableCheckBox(), Qt::LeftButton, {}, QPoint(5, 10));
        QVERIFY(first.enableCheckBox()->isChecked());
    }

    void settingsChangedInTheViewChangeTheNotesAtOnce()
    {
        TulvarMidiModel model;
        RecordingTransmitter transmitter;
        KeyboardNoteEventManager notes(&model, &transmitter);
        MidiPCKeyboardView view(nullptr, &model);
        QVERIFY(!notes.trunsmitNoteOnByKeyDown('Z'));

        QTest::mouseClick(view.enableCheckBox(), Qt::LeftButton, {}, QPoint(5, 10));
        view.octaveSpinBox()->stepBy(1);
        view.channelSpinBox()->stepBy(1);
        QVERIFY(notes.trunsmitNoteOnByKeyDown('Z'));
        QVERIFY(notes.trunsmitNoteOffByKeyUp('Z'));
        const auto messages = transmitter.messages();
        QCOMPARE(int(messages.size()), 2);
        QCOMPARE(messages[0].bytes, QByteArray::fromHex("914840"));
        QCOMPARE(messages[1].bytes, QByteArray::fromHex("814800"));
    }
};

QTEST_MAIN(tst_MidiPCKeyboardView)
#include "tst_MidiPCKeyboardView.moc"
