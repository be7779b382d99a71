#pragma once

#include <QWidget>

class QLineEdit;
class QPlainTextEdit;
class QTextCursor;
class QToolButton;

// The message editor's find bar. Ctrl+F shows it, Ctrl+G and Shift+Ctrl+G find the next and
// previous match (also from the text area), Escape hides it. Searching ignores case and wraps.
class ReferenceWidget : public QWidget {
    Q_OBJECT

public:
    explicit ReferenceWidget(QWidget* parent = nullptr);

    void setTextEditWidget(QPlainTextEdit* textEdit);
    QLineEdit* searchField() const;
    // Selects the next (or previous) match of `text` in the text area; false when there is none.
    bool search(const QString& text, bool backwards);

public slots:
    void nextButtonPressed();
    void prevButtonPressed();
    void closeButtonPressed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    static void moveBeginningOfCurrentBlockToBackOfPreviousBlock(QTextCursor& cursor);
    QTextCursor find(const QString& text, QTextCursor from, bool backwards) const;

    QLineEdit* m_searchField;
    QToolButton* m_previousButton;
    QToolButton* m_nextButton;
    QToolButton* m_closeButton;
    QPlainTextEdit* m_textEdit = nullptr;
};
