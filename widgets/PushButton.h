#pragma once

#include "model/ModelConnection.h"

#include <QPixmap>
#include <QPushButton>
#include <functional>

class QPainter;

// A push button bound to one parameter (checked = 1), optionally painted from a two-state image
// strip (left half off, right half on) or entirely by a paint callback.
class PushButton : public QPushButton, public ModelConnection {
    Q_OBJECT

public:
    using PaintCallback = std::function<void(PushButton& button, QPainter& painter)>;

    explicit PushButton(QWidget* parent = nullptr);
    explicit PushButton(QString const& text, QWidget* parent = nullptr);

    void updateParameter(unsigned int id) override;

    // When set, the callback alone paints the button.
    void setPaintCallback(PaintCallback callback);

    // A double-resolution strip of two equal halves; a null pixmap paints the standard button.
    void setPixmap(QPixmap const& pixmap);
    QPixmap const& pixmap() const { return m_pixmap; }
    void setImagePosition(int x, int y);
    QPoint imagePosition() const { return m_imagePosition; }
    // Centre the image in the button whenever it is shown.
    void setCenterOnShow(bool center);

public slots:
    void updateButton(bool checked);

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    PaintCallback m_paintCallback;
    QPixmap m_pixmap;
    QPoint m_imagePosition;
    bool m_centerOnShow = false;
};
