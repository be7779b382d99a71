#include "views/ReferenceWidget.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>
#include <QtTest>

#include <memory>

// The find bar under a text area; "f0" on the third line shows the search ignores case.
class tst_ReferenceWidget : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_window = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(m_window.get());
        m_text = new QPlainTextEdit(m_window.get());
        m_bar = new ReferenceWidget(m_window.get());
        layout->addWidget(m_text);
        layout->addWidget(m_bar);
        m_bar->setTextEditWidget(m_text);
        m_bar->hide();
        m_text->setPlainText(QStringLiteral("F0 41 10\n\nf0 42 F7\nF0 43"));
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        m_text->setFocus();
    }
    void cleanup() { m_window.reset(); }

    void searchSelectsMatchesInTurnAndWraps_data()
    {
        QTest::addColumn<bool>("backwards");
        QTest::addColumn<QList<int>>("starts");
        QTest::newRow("forwards") << false << QList<int>{0, 10, 19, 0};
        QTest::newRow("backwards") << true << QList<int>{19, 10, 0, 19};
    }
    void searchSelectsMatchesInTurnAndWraps()
    {
        QFETCH(bool, backwards);
        QFETCH(QList<int>, starts);
        for (int start : starts) {
            QVERIFY(m_bar->search(QStringLiteral("F0"), backwards));
            QCOMPARE(m_text->textCursor().selectionStart(), start);
        }
    }

    void backwardSearchSkipsLineStarts()
    {
        // From the start of the third line, across the empty line, the match on the first line.
        QTextCursor cursor = m_text->textCursor();
        cursor.setPosition(10);
        m_text->setTextCursor(cursor);
        QVERIFY(m_bar->search(QStringLiteral("10"), true));
        QCOMPARE(m_text->textCursor().selectionStart(), 6);
    }

    void missingOrEmptyTextLeavesTheSelection()
    {
        QVERIFY(m_bar->search(QStringLiteral("42"), false));
        QVERIFY(!m_bar->search(QStringLiteral("55"), false));
        QVERIFY(!m_bar->search(QString(), false));
        QCOMPARE(m_text->textCursor().selectedText(), QStringLiteral("42"));
    }

    void keysShowFindAndHideTheBar()
    {
        QTest::keyClick(m_text, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(m_bar->isVisible());
        QTRY_VERIFY(m_bar->searchField()->hasFocus());
        QTest::keyClicks(m_bar->searchField(), QStringLiteral("f0"));
        QTest::keyClick(m_bar->searchField(), Qt::Key_G, Qt::ControlModifier);
        QTest::keyClick(m_bar->searchField(), Qt::Key_Return);
        QCOMPARE(m_text->textCursor().selectionStart(), 10);
        QTest::keyClick(m_bar->searchField(), Qt::Key_G, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(m_text->textCursor().selectionStart(), 0);
        // Enter finds too, and is not passed on as the field's own return.
        int returnPressed = 0;
        connect(m_bar->searchField(), &QLineEdit::returnPressed, this, [&returnPressed] { ++returnPressed; });
        QTest::keyClick(m_bar->searchField(), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(m_text->textCursor().selectionStart(), 10);
        QCOMPARE(returnPressed, 0);

        QTest::keyClick(m_bar->searchField(), Qt::Key_Escape);
        QVERIFY(!m_bar->isVisible());
        QTRY_VERIFY(m_text->hasFocus());
        // Ctrl+G from the text area shows the bar again and goes on searching.
        QTest::keyClick(m_text, Qt::Key_G, Qt::ControlModifier);
        QVERIFY(m_bar->isVisible());
        QCOMPARE(m_text->textCursor().selectionStart(), 19);
        QCOMPARE(m_text->toPlainText(), QStringLiteral("F0 41 10\n\nf0 42 F7\nF0 43"));
    }

private:
    std::unique_ptr<QWidget> m_window;
    QPlainTextEdit* m_text = nullptr;
    ReferenceWidget* m_bar = nullptr;
};

QTEST_MAIN(tst_ReferenceWidget)
#include "tst_ReferenceWidget.moc"
