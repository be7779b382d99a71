// The preferences view: a control for each preference, labelled with the parameter's name.

#include "model/TulvarMidiModel.h"
#include "views/MidiFilterView.h"
#include "views/PreferencesView.h"
#include "widgets/CheckBox.h"
#include "widgets/ComboBox.h"

#include <QGroupBox>
#include <QLabel>
#include <QtTest>

#include <memory>

namespace {

template <class Control>
Control* controlOf(QWidget* view, unsigned int id)
{
    for (Control* control : view->findChildren<Control*>()) {
        if (control->getParameterId() == id) {
            return control;
        }
    }
    return nullptr;
}

QLabel* labelLeftOf(QWidget* control)
{
    for (QLabel* label : control->parentWidget()->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (qAbs(label->geometry().center().y() - control->geometry().center().y()) <= 2
            && label->geometry().right() < control->x()) {
            return label;
        }
    }
    return nullptr;
}

} // namespace

class tst_PreferencesView : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        model = std::make_unique<TulvarMidiModel>();
        view = std::make_unique<PreferencesView>(nullptr, model.get());
    }
    void cleanup()
    {
        view.reset();
        model.reset();
    }

    void everyPreferenceHasAControlNamedByItsParameter_data()
    {
        QTest::addColumn<unsigned int>("id");
        QTest::addColumn<QString>("group");
        QTest::addColumn<QStringList>("items"); // empty: a check box
        QTest::addColumn<bool>("labelled");
        QTest::newRow("knob mode") << 1200u << "UI" << QStringList{"Circular", "Linear"} << true;
        QTest::newRow("program number") << 1208u << "UI" << QStringList{"Zero-based", "One-based"} << true;
        QTest::newRow("time") << 1201u << "Message" << QStringList{} << false;
        QTest::newRow("time format") << 1206u << "Message" << QStringList{"Clock", "Integer"} << false;
        QTest::newRow("detail") << 1204u << "Message" << QStringList{} << false;
        QTest::newRow("color") << 1203u << "Message" << QStringList{} << false;
        QTest::newRow("parser") << 1207u << "Message" << QStringList{} << false;
        QTest::newRow("font size") << 1202u << "Message" << QStringList{"Normal", "Large"} << true;
        QTest::newRow("middle C") << 1205u << "Message" << QStringList{"C3", "C4", "C5"} << true;
    }
    void everyPreferenceHasAControlNamedByItsParameter()
    {
        QFETCH(unsigned int, id);
        QFETCH(QString, group);
        QFETCH(QStringList, items);
        QFETCH(bool, labelled);
        QCOMPARE(view->size(), QSize(245, 280));
        const QString name = model->getModelParameterName(id);
        QWidget* control = nullptr;
        if (items.isEmpty()) {
            CheckBox* box = controlOf<CheckBox>(view.get(), id);
            QVERIFY(box != nullptr);
            QCOMPARE(box->text(), name);
            control = box;
        } else {
            ComboBox* combo = controlOf<ComboBox>(view.get(), id);
            QVERIFY(combo != nullptr);
            QStringList shown;
            for (int i = 0; i < combo->count(); ++i) {
                shown.append(combo->itemText(i));
            }
            QCOMPARE(shown, items);
            QCOMPARE(combo->currentIndex(), model->getModelIntValue(id));
            QLabel* label = labelLeftOf(combo);
            QCOMPARE(label != nullptr, labelled);
            if (label != nullptr) {
                QCOMPARE(label->text(), name);
            }
            control = combo;
        }
        QCOMPARE(qobject_cast<QGroupBox*>(control->parentWidget())->title(), group);
    }

    void controlsWriteTheirPreferenceAtOnce()
    {
        ComboBox* middleC = controlOf<ComboBox>(view.get(), MessageMiddleCParameterId);
        middleC->setCurrentIndex(2);
        QCOMPARE(model->getModelIntValue(MessageMiddleCParameterId), 2);
        QTest::mouseClick(controlOf<CheckBox>(view.get(), TimeStampParameterId), Qt::LeftButton, {}, QPoint(5, 10));
        QCOMPARE(model->getModelIntValue(TimeStampParameterId), 1);
        // And follow changes made elsewhere.
        model->setModelIntValue(ProgramNumberBaseParameterId, 0);
        QCOMPARE(controlOf<ComboBox>(view.get(), ProgramNumberBaseParameterId)->currentIndex(), 0);
    }

    void uncheckingParserGreysOutTheFilterView()
    {
        MidiFilterView filter(nullptr, model.get());
        QTest::mouseClick(controlOf<CheckBox>(view.get(), MessageParsedParameterId), Qt::LeftButton, {},
                          QPoint(5, 10));
        QCOMPARE(model->getModelIntValue(MessageParsedParameterId), 0);
        QVERIFY(!filter.isEnabled());
        QVERIFY(!filter.disabledOverlay()->isHidden());
    }

private:
    std::unique_ptr<TulvarMidiModel> model;
    std::unique_ptr<PreferencesView> view;
};

QTEST_MAIN(tst_PreferencesView)
#include "tst_PreferencesView.moc"
