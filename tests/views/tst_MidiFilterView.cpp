// The filter view: its switches are parameters, so these tests read the model.

#include "model/TulvarMidiModel.h"
#include "views/MidiFilterDetailView.h"
#include "views/MidiFilterView.h"
#include "views/UnstyledCheckBox.h"
#include "widgets/CheckBox.h"
#include "widgets/PushButton.h"

#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QtTest>

#include <memory>

namespace {

QPushButton* buttonNamed(QWidget* parent, const QString& text, int which = 0)
{
    QList<QPushButton*> found;
    for (QPushButton* button : parent->findChildren<QPushButton*>()) {
        if (button->text() == text) {
            found.append(button);
        }
    }
    return found.value(which);
}

bool allParameters(TulvarMidiModel& model, unsigned int first, int count, int value)
{
    for (int i = 0; i < count; ++i) {
        if (model.getModelIntValue(first + unsigned(i)) != value) {
            return false;
        }
    }
    return true;
}

} // namespace

class tst_MidiFilterView : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        model = std::make_unique<TulvarMidiModel>();
        view = std::make_unique<MidiFilterView>(nullptr, model.get());
    }
    void cleanup()
    {
        view.reset();
        model.reset();
    }

    void headingRowsHaveNoIndicatorAndArrowsSwitchThePage()
    {
        QCOMPARE(view->size(), QSize(650, 268));
        QCOMPARE(view->getWindowId(), WindowRestorationInfo::FilterId);
        const QList<CheckBox*> messages = view->messageCheckBoxes();
        QCOMPARE(messages.size(), 10);
        for (int index = 0; index < messages.size(); ++index) {
            const bool heading = index == 3 || index == 8 || index == 9;
            QCOMPARE(qobject_cast<UnstyledCheckBox*>(messages[index]->style()) != nullptr, heading);
            QCOMPARE(messages[index]->focusPolicy() == Qt::NoFocus, heading);
            QCOMPARE(messages[index]->getParameterId(), 700u + unsigned(index));
        }
        const QList<int> pages{MidiFilterView::SystemCommonPage, MidiFilterView::SystemRealtimePage,
                               MidiFilterView::ControlChangePage};
        const QList<int> arrows{1, 2, 0};
        for (int i = 0; i < pages.size(); ++i) {
            QTest::mouseClick(buttonNamed(view.get(), QStringLiteral(">"), arrows[i]), Qt::LeftButton);
            QCOMPARE(view->detailPages()->currentIndex(), pages[i]);
        }
        QVERIFY(qobject_cast<MidiControlChangeFilterView*>(view->detailPages()->widget(0)));
    }

    void channelAllAndClearLeaveMessageKindsAlone()
    {
        model->setModelIntValue(MessageTypeFilterParameterId + 1, 1);
        QTest::mouseClick(buttonNamed(view.get(), QStringLiteral("All")), Qt::LeftButton);
        QVERIFY(allParameters(*model, ChannelFilterParameterId, 16, 1));
        QVERIFY(view->channelButtons()[15]->isChecked());

        QTest::mouseClick(view->channelButtons()[4], Qt::LeftButton);
        QCOMPARE(model->getModelIntValue(ChannelFilterParameterId + 4), 0);

        QTest::mouseClick(buttonNamed(view.get(), QStringLiteral("Clear")), Qt::LeftButton);
        QVERIFY(allParameters(*model, ChannelFilterParameterId, 16, 0));
        QCOMPARE(model->getModelIntValue(MessageTypeFilterParameterId + 1), 1);
        QCOMPARE(model->getModelIntValue(MessageTypeFilterParameterId), 0);
    }

    void detailPageAllAndClearSetEveryOneOfItsSwitches()
    {
        auto* controllers = qobject_cast<MidiFilterDetailView*>(view->detailPages()->widget(0));
        QCOMPARE(controllers->checkBoxes().size(), 128);
        QCOMPARE(controllers->checkBoxes()[7]->text(), QStringLiteral("007 Volume"));
        controllers->releasedAllButton();
        QVERIFY(allParameters(*model, ControlChangeFilterParameterId, 128, 1));
        QVERIFY(controllers->checkBoxes()[127]->isChecked());
        controllers->releasedNoneButton();
        QVERIFY(allParameters(*model, ControlChangeFilterParameterId, 128, 0));
        QVERIFY(!controllers->checkBoxes()[127]->isChecked());
        QVERIFY(allParameters(*model, SystemCommonFilterParameterId, 4, 0));

        auto* realtime = qobject_cast<MidiFilterDetailView*>(view->detailPages()->widget(2));
        realtime->releasedAllButton();
        QVERIFY(allParameters(*model, SystemRealtimeFilterParameterId, 6, 1));
        realtime->releasedNoneButton();
        QVERIFY(allParameters(*model, SystemRealtimeFilterParameterId, 6, 0));
    }

    void parserOffCoversTheViewWithItsMessage()
    {
        QVERIFY(view->isEnabled());
        QVERIFY(view->disabledOverlay()->isHidden());
        model->setModelIntValue(MessageParsedParameterId, 0);
        QVERIFY(!view->isEnabled());
        QVERIFY(!view->disabledOverlay()->isHidden());
        QCOMPARE(view->disabledOverlay()->geometry(), view->rect());
        QCOMPARE(view->disabledOverlay()->findChild<QLabel*>()->text(),
                 QStringLiteral("Filter function is currently disabled.\nTurn On File > Preferences > Parser."));

        // A view opened while the parser is off starts covered.
        MidiFilterView second(nullptr, model.get());
        QVERIFY(!second.disabledOverlay()->isHidden());

        model->setModelIntValue(MessageParsedParameterId, 1);
        QVERIFY(view->isEnabled());
        QVERIFY(view->disabledOverlay()->isHidden());
    }

    void keepsNothingInTheProjectFile()
    {
        QByteArray payload;
        QDataStream out(&payload, QIODevice::WriteOnly);
        QVERIFY(view->getDataStream(out));
        QVERIFY(payload.isEmpty());
        QDataStream in(QByteArray("junk"));
        QVERIFY(view->setDataStream(in));
    }

private:
    std::unique_ptr<TulvarMidiModel> model;
    std::unique_ptr<MidiFilterView> view;
};

QTEST_MAIN(tst_MidiFilterView)
#include "tst_MidiFilterView.moc"
