#include "views/LicenseTextView.h"

#include "support/Utility.h"
#include "views/ViewConstants.h"

#include <QFile>

namespace {

QString readLicenseText(const QString& path, bool showsQtVersion)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return QString();
    }
    QByteArray bytes = file.readAll();
    if (showsQtVersion) {
        bytes.replace(QtVersionPlaceholder, qVersion());
    }
    const int end = bytes.indexOf('\0');
    return QString::fromUtf8(end < 0 ? bytes : bytes.left(end));
}

} // namespace

LicenseTextView::LicenseTextView(QWidget* parent, const QString& path, bool showsQtVersion)
    : QTextEdit(parent)
{
    resize(LicenseViewSize);
    setAttribute(Qt::WA_DeleteOnClose);
    setReadOnly(true);
    setPlainText(readLicenseText(path, showsQtVersion));
}

QSize LicenseTextView::sizeHint() const
{
    return LicenseViewSize;
}

LicenseInfoView::LicenseInfoView(QWidget* parent)
    : LicenseTextView(parent,
                      Utility::getLicenseFilePath(OpenSourceLicenseTextFileName, OpenSourceLicenseTextFileExtension),
                      true)
{
}

EULAView::EULAView(QWidget* parent)
    : LicenseTextView(parent, Utility::getLicenseFilePath(EULATextFileName, EULATextFileExtension), false)
{
}
