#include "views/AboutView.h"

#include "support/CommonTexts.h"
#include "support/ImageResources.h"
#include "support/LookConstants.h"
#include "views/ViewConstants.h"

#include <QPainter>

AboutView::AboutView(QWidget* parent)
    : QDialog(parent)
    , m_background(loadImage(Images::About))
    , m_informationText(tr(AboutInfo))
    , m_versionText(ApplicationName + QLatin1Char(' ') + tr(Version) + ApplicationVersion)
{
    QFont font = AboutViewFont;
    font.setPixelSize((font.pixelSize() > 0 ? font.pixelSize() : TulvarMidiFontSize) - 1);
    setFont(font);
    setFixedSize(AboutViewSize);
    setAttribute(Qt::WA_DeleteOnClose);
}

void AboutView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(0, 0, m_background);
    painter.setPen(AboutTextColor);
    const int w = width();
    const int h = height();
    painter.drawText(QRect(5, h - 100, w, 50), Qt::AlignCenter, m_informationText);
    painter.drawText(QRect(5, h - 80, w, 50), Qt::AlignCenter, m_versionText);
}
