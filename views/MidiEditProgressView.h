#pragma once

#include "model/ModelAssistant.h"

#include <QWidget>

class MidiEditView;
class QLabel;
class QProgressBar;
class QPushButton;
class TulvarMidiModel;

// The page shown over the text during a long transmission (bar and "Cancel"), while receiving
// (the byte count and "OK") and after a failure (the error text and "OK").
class MidiEditProgressView : public QWidget, public ModelAssistant {
    Q_OBJECT

public:
    enum State {
        Transmitting = 0,
        Idle = 1,
        Error = 2,
        Initial = 3,
    };

    MidiEditProgressView(MidiEditView* parent, TulvarMidiModel* model);
    ~MidiEditProgressView() override;

    void setProgressBarEnabled(bool on, int minimum = 0, int maximum = 0);
    void setProgressBarValue(int value);
    void setTotalCommunicationSize(unsigned int size);
    unsigned int totalCommunicationSize() const;
    void setErrorMessage(const QString& text);
    void updateMessage(bool repeating, bool parser);
    void hideView();
    State state() const;
    QString message() const;
    QProgressBar* progressBar() const;
    QPushButton* button() const;

    void updateParameter(unsigned int id) override;

    // "1Byte", "256Bytes".
    static QString byteCountText(unsigned int count);

public slots:
    void releasedButton();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void setState(State state);
    void updateMessageFromModel();

    MidiEditView* m_view;
    TulvarMidiModel* m_model;
    QLabel* m_label;
    QProgressBar* m_progressBar = nullptr;
    QPushButton* m_button;
    int m_value = 0;
    unsigned int m_total = 0;
    State m_state = Initial;
};
