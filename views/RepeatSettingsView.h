#pragma once

#include <QWidget>

class QCheckBox;
class QSpinBox;
class QToolButton;

// The message editor's repeat panel (Ctrl+R): whether a transmission repeats, and the interval
// between the end of one sending and the start of the next. Read at each transmission start;
// stored nowhere.
class RepeatSettingsView : public QWidget {
    Q_OBJECT

public:
    explicit RepeatSettingsView(QWidget* parent = nullptr);

    void setTextEditWidget(QWidget* textEdit);
    bool isRepeat() const;
    int getInterval() const;
    QCheckBox* repeatCheckBox() const;
    QSpinBox* intervalSpinBox() const;

public slots:
    void closeButtonPressed();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QCheckBox* m_repeatCheckBox;
    QSpinBox* m_intervalSpinBox;
    QToolButton* m_closeButton;
    QWidget* m_textEdit = nullptr;
};
