#include "support/FontConstant.h"

FontConstant::FontConstant(QString family, QFont::StyleHint styleHint)
    : m_family(std::move(family))
    , m_styleHint(styleHint)
{
}

QString FontConstant::family() const
{
    return m_family;
}

QFont FontConstant::font() const
{
    QFont font(m_family);
    font.setStyleHint(m_styleHint);
    return font;
}
