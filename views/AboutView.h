#pragma once

#include <QDialog>
#include <QPixmap>
#include <QString>

// The about box: the background picture with the program's purpose and version. It deletes
// itself when closed; the main window closes it on any click.
class AboutView : public QDialog {
    Q_OBJECT

public:
    explicit AboutView(QWidget* parent);

    QString informationText() const { return m_informationText; }
    QString versionText() const { return m_versionText; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_background;
    QString m_informationText;
    QString m_versionText;
};
