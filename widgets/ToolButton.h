#pragma once

#include <QPixmap>
#include <QToolButton>

// A tool button that paints a two-state image strip over the standard face: the left half
// normally, the right half while disabled.
class ToolButton : public QToolButton {
    Q_OBJECT

public:
    explicit ToolButton(QWidget* parent = nullptr);

    void setPixmap(QPixmap const& pixmap);
    QPixmap const& pixmap() const { return m_pixmap; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_pixmap;
};
