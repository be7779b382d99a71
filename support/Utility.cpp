#include "support/Utility.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>

namespace Utility {

bool loadAtTextFileName(QString const& path, QString& text)
{
    if (path.isEmpty()) {
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return false;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return false;
    }
    int const nul = bytes.indexOf('\0');
    if (nul >= 0) {
        bytes.truncate(nul);
    }
    text = QString::fromUtf8(bytes);
    return true;
}

bool saveAtTextFileName(QString const& path, QString const& text)
{
    if (path.isEmpty()) {
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        return false;
    }
    QByteArray const bytes = text.toUtf8();
    bool const written = file.write(bytes) == bytes.size() && file.flush();
    file.close();
    return written && file.error() == QFileDevice::NoError;
}

QString removeMenuOfModifierCharacter(QString const& text)
{
    static QRegularExpression const modifiers(QStringLiteral("\\&|\\.\\.\\."));
    QString result = text;
    result.remove(modifiers);
    return result;
}

namespace {

// The fallback is the documents folder, which a fresh account may not have.
QString existingFallbackFolder(QString const& fallbackFolder)
{
    return QDir(fallbackFolder).exists() ? fallbackFolder : QDir::homePath();
}

} // namespace

QString fileOpenDialogStartLocation(QString const& path, QString const& fallbackFolder)
{
    return QFileInfo(path).absoluteDir().exists() && !path.isEmpty() ? path : existingFallbackFolder(fallbackFolder);
}

QString fileSaveDialogStartLocation(QString const& path, QString const& fallbackFolder)
{
    QFileInfo const info(path);
    if (!path.isEmpty() && info.absoluteDir().exists()) {
        return path;
    }
    return existingFallbackFolder(fallbackFolder) + QLatin1Char('/') + info.fileName();
}

QString showFileOpenDialog(QWidget* parent, QString const& caption, QString const& path,
                           QString const& filter, QString const& fallbackFolder)
{
    return QFileDialog::getOpenFileName(parent, caption, fileOpenDialogStartLocation(path, fallbackFolder),
                                        filter);
}

QString showFileSaveDialog(QWidget* parent, QString const& caption, QString const& path,
                           QString const& filter, QString const& fallbackFolder)
{
    return QFileDialog::getSaveFileName(parent, caption, fileSaveDialogStartLocation(path, fallbackFolder),
                                        filter);
}

int convertHexStringFromDecimalValue(char* out, unsigned char value)
{
    static char const digits[] = "0123456789ABCDEF";
    out[0] = digits[value >> 4];
    out[1] = digits[value & 0x0F];
    out[2] = '\0';
    return 2;
}

QString getLicenseFilePath(char const* name, char const* type)
{
    QString const fileName = QString::fromUtf8(name) + QLatin1Char('.') + QString::fromUtf8(type);
    QString const programFolder = QCoreApplication::applicationDirPath();
    for (QString const& folder : {programFolder + QStringLiteral("/../share/tulvar-midi"), programFolder}) {
        QFileInfo const candidate(QDir(folder), fileName);
        if (candidate.isFile()) {
            return candidate.canonicalFilePath();
        }
    }
    return QString();
}

} // namespace Utility
