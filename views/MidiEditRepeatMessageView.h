#pragma once

#include <QWidget>

class MidiEditView;
class QPushButton;

// The page shown while a text is transmitted again and again; "Cancel" ends the repetition.
class MidiEditRepeatMessageView : public QWidget {
    Q_OBJECT

public:
    explicit MidiEditRepeatMessageView(MidiEditView* parent);

    void hideView();
    QPushButton* button() const;

public slots:
    void releasedButton();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    MidiEditView* m_view;
    QPushButton* m_button;
};
