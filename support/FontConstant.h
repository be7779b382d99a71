#pragma once

#include <QFont>
#include <QString>

// A font named once at start-up. It holds only the family and style hint and makes the QFont
// when used, because a QFont must not be built before the application object exists.
class FontConstant {
public:
    FontConstant(QString family, QFont::StyleHint styleHint);

    QString family() const;
    QFont font() const;
    operator QFont() const { return font(); }

private:
    QString m_family;
    QFont::StyleHint m_styleHint;
};
