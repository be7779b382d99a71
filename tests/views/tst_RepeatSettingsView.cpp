#include "views/RepeatSettingsView.h"

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>

class tst_RepeatSettingsView : public QObject {
    Q_OBJECT

private slots:
    void startsUncheckedAtOneSecond();
    void intervalKeepsToItsRange();
    void closeHidesAndGivesFocusBack();
};

void tst_RepeatSettingsView::startsUncheckedAtOneSecond()
{
    RepeatSettingsView view;
    QVERIFY(!view.isRepeat());
    QCOMPARE(view.getInterval(), 1000);
    QCOMPARE(view.height(), 40);
    QCOMPARE(view.repeatCheckBox()->text(), QStringLiteral("Repeat"));
    QCOMPARE(view.intervalSpinBox()->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    view.repeatCheckBox()->setChecked(true);
    QVERIFY(view.isRepeat());
}

void tst_RepeatSettingsView::intervalKeepsToItsRange()
{
    RepeatSettingsView view;
    view.intervalSpinBox()->setValue(100);
    QCOMPARE(view.getInterval(), 500);
    view.intervalSpinBox()->setValue(9000);
    QCOMPARE(view.getInterval(), 5000);
}

void tst_RepeatSettingsView::closeHidesAndGivesFocusBack()
{
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* panel = new RepeatSettingsView(&window);
    auto* text = new QPlainTextEdit(&window);
    layout->addWidget(panel);
    layout->addWidget(text);
    panel->setTextEditWidget(text);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    panel->intervalSpinBox()->setFocus();

    auto* close = panel->findChild<QToolButton*>();
    QVERIFY(close != nullptr);
    QCOMPARE(close->toolTip(), QStringLiteral("Close"));
    QTest::mouseClick(close, Qt::LeftButton);
    QVERIFY(!panel->isVisible());
    QTRY_VERIFY(text->hasFocus());
}

QTEST_MAIN(tst_RepeatSettingsView)
#include "tst_RepeatSettingsView.moc"
