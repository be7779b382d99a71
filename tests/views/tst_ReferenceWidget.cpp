#include "views/ReferenceWidget.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>
#include <QtTest>

class tst_ReferenceWidget : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void searchSelectsMatchesInTurnAndWraps_data();
    void searchSelectsMatchesInTurnAndWraps();
    void backwardSearchSkipsLineStarts();
    void searchIgnoresCase();
    void missingOrEmptyTextLeavesSelection();
    void keysShowFindAndHideTheBar();
    void returnInSearchFieldFindsNext();
    void inactiveSelectionKeepsFoundColour();

private:
    QString selected() const;
    int selectionStart() const;

    QWidget* m_window = nullptr;
    QPlainTextEdit* m_text = nullptr;
    ReferenceWidget* m_bar = nullptr;
};

void tst_ReferenceWidget::init()
{
    m_window = new QWidget;
    auto* layout = new QVBoxLayout(m_window);
    m_text = new QPlainTextEdit(m_window);
    m_bar = new ReferenceWidget(m_window);
    layout->addWidget(m_text);
    layout->addWidget(m_bar);
    m_bar->setTextEditWidget(m_text);
    m_bar->hide();
    m_text->setPlainText(QStringLiteral("F0 41 10\n\nf0 42 F7\nF0 43"));
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    m_text->setFocus();
}

void tst_ReferenceWidget::cleanup()
{
    delete m_window;
    m_window = nullptr;
}

QString tst_ReferenceWidget::selected() const
{
    return m_text->textCursor().selectedText();
}

int tst_ReferenceWidget::selectionStart() const
{
    return m_text->textCursor().selectionStart();
}

void tst_ReferenceWidget::searchSelectsMatchesInTurnAndWraps_data()
{
    QTest::addColumn<bool>("backwards");
    QTest::addColumn<QList<int>>("starts");
    QTest::newRow("forwards") << false << QList<int>{0, 10, 19, 0};
    QTest::newRow("backwards") << true << QList<int>{19, 10, 0, 19};
}

void tst_ReferenceWidget::searchSelectsMatchesInTurnAndWraps()
{
    QFETCH(bool, backwards);
    QFETCH(QList<int>, starts);
    for (int start : starts) {
        QVERIFY(m_bar->search(QStringLiteral("F0"), backwards));
        QCOMPARE(selectionStart(), start);
    }
}

void tst_ReferenceWidget::backwardSearchSkipsLineStarts()
{
    // From the start of the third line, across the empty line, the match on the first line.
    QTextCursor cursor = m_text->textCursor();
    cursor.setPosition(10);
    m_text->setTextCursor(cursor);
    QVERIFY(m_bar->search(QStringLiteral("10"), true));
    QCOMPARE(selectionStart(), 6);
}

void tst_ReferenceWidget::searchIgnoresCase()
{
    QVERIFY(m_bar->search(QStringLiteral("f7"), false));
    QCOMPARE(selected(), QStringLiteral("F7"));
}

void tst_ReferenceWidget::missingOrEmptyTextLeavesSelection()
{
    QVERIFY(m_bar->search(QStringLiteral("42"), false));
    QVERIFY(!m_bar->search(QStringLiteral("55"), false));
    QCOMPARE(selected(), QStringLiteral("42"));
    QVERIFY(!m_bar->search(QString(), false));
    QCOMPARE(selected(), QStringLiteral("42"));
}

void tst_ReferenceWidget::keysShowFindAndHideTheBar()
{
    QTest::keyClick(m_text, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(m_bar->isVisible());
    QTRY_VERIFY(m_bar->searchField()->hasFocus());
    QTest::keyClicks(m_bar->searchField(), QStringLiteral("f0"));

    QTest::keyClick(m_bar->searchField(), Qt::Key_G, Qt::ControlModifier);
    QCOMPARE(selectionStart(), 0);
    QTest::keyClick(m_bar->searchField(), Qt::Key_G, Qt::ControlModifier);
    QCOMPARE(selectionStart(), 10);
    QTest::keyClick(m_bar->searchField(), Qt::Key_G, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(selectionStart(), 0);

    QTest::keyClick(m_bar->searchField(), Qt::Key_Escape);
    QVERIFY(!m_bar->isVisible());
    QTRY_VERIFY(m_text->hasFocus());

    // Ctrl+G from the text area shows the bar again and goes on searching.
    QTest::keyClick(m_text, Qt::Key_G, Qt::ControlModifier);
    QVERIFY(m_bar->isVisible());
    QCOMPARE(selectionStart(), 10);
    QCOMPARE(m_text->toPlainText(), QStringLiteral("F0 41 10\n\nf0 42 F7\nF0 43"));
}

void tst_ReferenceWidget::returnInSearchFieldFindsNext()
{
    m_bar->show();
    m_bar->searchField()->setText(QStringLiteral("43"));
    int returnPressed = 0;
    connect(m_bar->searchField(), &QLineEdit::returnPressed, this, [&returnPressed] { ++returnPressed; });
    QTest::keyClick(m_bar->searchField(), Qt::Key_Return);
    QCOMPARE(selected(), QStringLiteral("43"));
    QTest::keyClick(m_bar->searchField(), Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(selected(), QStringLiteral("43"));
    QCOMPARE(returnPressed, 0);
}

void tst_ReferenceWidget::inactiveSelectionKeepsFoundColour()
{
    const QPalette palette = m_text->palette();
    QCOMPARE(palette.color(QPalette::Inactive, QPalette::Highlight), QColor(0, 120, 215));
    QCOMPARE(palette.color(QPalette::Inactive, QPalette::HighlightedText), QColor(Qt::white));
}

QTEST_MAIN(tst_ReferenceWidget)
#include "tst_ReferenceWidget.moc"
