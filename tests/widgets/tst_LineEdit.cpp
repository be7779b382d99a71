#include "widgets/LineEdit.h"

#include <QIntValidator>
#include <QVBoxLayout>
#include <QtTest>

class tst_LineEdit : public QObject {
    Q_OBJECT

private slots:
    void returnDecidesTheText_data()
    {
        QTest::addColumn<bool>("withValidator");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("decided");
        QTest::addColumn<int>("emitted");
        QTest::newRow("not a number") << true << "abc" << "64" << 1;
        QTest::newRow("empty") << true << "" << "64" << 1;
        QTest::newRow("above the top") << true << "999" << "127" << 1;
        QTest::newRow("below the bottom") << true << "-5" << "0" << 1;
        QTest::newRow("inside") << true << "42" << "42" << 1;
        QTest::newRow("no validator keeps any text") << false << "abc" << "abc" << 1;
        QTest::newRow("no validator, empty") << false << "" << "" << 0;
    }

    void returnDecidesTheText()
    {
        QFETCH(bool, withValidator);
        QFETCH(QString, text);
        QFETCH(QString, decided);
        QFETCH(int, emitted);
        LineEdit edit(QStringLiteral("64"));
        if (withValidator) {
            edit.setValidator(new QIntValidator(0, 127, &edit));
        }
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        QSignalSpy finished(&edit, &QLineEdit::editingFinished);
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
            finished.clear();
            edit.setText(text); // the validator would refuse most of these as typed
            QTest::keyClick(&edit, key);
            QCOMPARE(edit.text(), decided);
            QCOMPARE(finished.count(), emitted);
        }
    }

    void leavingDecidesOnce()
    {
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* edit = new LineEdit(QStringLiteral("64"));
        edit->setValidator(new QIntValidator(0, 127, edit));
        auto* other = new QLineEdit;
        layout->addWidget(edit);
        layout->addWidget(other);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        edit->setFocus();
        QTRY_VERIFY(edit->hasFocus());
        edit->setText(QStringLiteral("abc"));
        QSignalSpy finished(edit, &QLineEdit::editingFinished);

        QTest::keyClick(edit, Qt::Key_Tab);
        QTRY_VERIFY(other->hasFocus());
        QCOMPARE(edit->text(), QStringLiteral("64"));
        QCOMPARE(finished.count(), 1);
    }
};

QTEST_MAIN(tst_LineEdit)
#include "tst_LineEdit.moc"
