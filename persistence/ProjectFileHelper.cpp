#include "persistence/ProjectFileHelper.h"

#include "persistence/FileStream.h"
#include "persistence/ProjectFileFormat.h"
#include "persistence/ProjectWindowsIF.h"

#include <QFile>
#include <QIODevice>
#include <QSaveFile>

#include <cstring>
#include <limits>

namespace {

// Smallest window record: window ID, stay on top, x, y, width, height, state.
constexpr qint32 WindowRecordFieldsSize = 7 * 4;

bool streamOk(const QDataStream& stream)
{
    return stream.status() == QDataStream::Ok;
}

qint64 remainingBytes(const QDataStream& stream)
{
    return stream.device() != nullptr ? stream.device()->bytesAvailable() : 0;
}

// A length field followed by that many bytes: negative, or more than what is left, is damage.
bool readLength(QDataStream& stream, qint32& length)
{
    stream >> length;
    return streamOk(stream) && length >= 0 && length <= remainingBytes(stream);
}

bool writeBlock(QDataStream& stream, const QByteArray& bytes)
{
    stream << qint32(bytes.size());
    return streamOk(stream) && stream.writeRawData(bytes.constData(), bytes.size()) == bytes.size();
}

bool readIdField(QDataStream& stream, char (&field)[ProjectFileIdFieldSize])
{
    return stream.readRawData(field, ProjectFileIdFieldSize) == ProjectFileIdFieldSize;
}

bool fitsInInt(qint64 value)
{
    return value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max();
}

// One parameter as Qt 5.6 streams a QVariant: type, null flag, value. Only the types a window
// record stores are read, and by hand, so that a damaged file never reaches Qt's loaders of
// strings, lists or user types.
bool readParameter(QDataStream& stream, QVariant& value)
{
    quint32 type = 0;
    qint8 isNull = 0;
    stream >> type >> isNull;
    if (!streamOk(stream) || isNull != 0) {
        return false;
    }
    switch (type) {
    case QMetaType::Int: {
        qint32 number = 0;
        stream >> number;
        value = QVariant(int(number));
        break;
    }
    case QMetaType::Bool: {
        qint8 flag = 0;
        stream >> flag;
        value = QVariant(flag != 0);
        break;
    }
    default:
        return false;
    }
    return streamOk(stream);
}

} // namespace

ProjectFileHelper::ProjectFileHelper(ProjectWindowsIF& windows) : m_windows(windows) {}

void ProjectFileHelper::prepareStream(QDataStream& stream)
{
    stream.setVersion(ProjectFileStreamVersion);
    stream.setByteOrder(QDataStream::BigEndian);
}

bool ProjectFileHelper::isStorableParameter(const QVariant& value)
{
    const int type = value.userType();
    return !value.isNull() && (type == QMetaType::Int || type == QMetaType::Bool);
}

int ProjectFileHelper::convertStringToInt(char character)
{
    return character >= '0' && character <= '9' ? character - '0' : 0;
}

// ---------------------------------------------------------------------------------------------
// Writing

bool ProjectFileHelper::writeWindowInfo(QDataStream& stream, const WindowInfoStruct& info)
{
    QByteArray record;
    QDataStream fields(&record, QIODevice::WriteOnly);
    prepareStream(fields);
    fields << qint32(info.windowId) << qint32(info.stayOnTop ? 1 : 0) << qint32(info.rect.x())
           << qint32(info.rect.y()) << qint32(info.rect.width()) << qint32(info.rect.height())
           << qint32(info.windowState);
    for (const QVariant& parameter : info.parameters) {
        // Anything else could not be read back.
        if (!isStorableParameter(parameter)) {
            return false;
        }
        fields << ProjectFileParameterTag << parameter;
    }
    return streamOk(fields) && writeBlock(stream, record);
}

bool ProjectFileHelper::buildFileData(QByteArray& data)
{
    QByteArray windowData;
    QDataStream windows(&windowData, QIODevice::WriteOnly);
    prepareStream(windows);
    if (!writeWindowInfo(windows, m_windows.getMainWindowInfo())) {
        return false;
    }
    for (const ProjectWindowsIF::ToolWindow& tool : m_windows.getToolWindows()) {
        if (tool.view == nullptr || !writeWindowInfo(windows, tool.info)) {
            return false;
        }
        QByteArray payload;
        QDataStream payloadStream(&payload, QIODevice::WriteOnly);
        prepareStream(payloadStream);
        if (!tool.view->getDataStream(payloadStream) || !streamOk(payloadStream) || !writeBlock(windows, payload)) {
            return false;
        }
    }

    data.clear();
    QDataStream file(&data, QIODevice::WriteOnly);
    prepareStream(file);
    file.writeRawData(ProjectFileFileID1, ProjectFileIdFieldSize);
    file.writeRawData(ProjectFileFileID2, ProjectFileIdFieldSize);
    file.writeRawData(ProjectFileFileVersion, ProjectFileIdFieldSize);
    file << ProjectFileWindowDataChunkId;
    return writeBlock(file, windowData);
}

int ProjectFileHelper::writeFile(const QString& path)
{
    QByteArray data;
    if (!buildFileData(data)) {
        return WriteFailed;
    }
    // The old file is replaced only by commit(), after the new content is complete on disk.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return WriteFailed;
    }
    if (file.write(data) != data.size()) {
        file.cancelWriting();
        return WriteFailed;
    }
    return file.commit() ? WriteSucceeded : WriteFailed;
}

// ---------------------------------------------------------------------------------------------
// Reading

bool ProjectFileHelper::readWindowInfo(QDataStream& stream, WindowInfoStruct& info)
{
    qint32 length = 0;
    if (!readLength(stream, length) || length < WindowRecordFieldsSize) {
        return false;
    }
    QByteArray record(length, Qt::Uninitialized);
    if (stream.readRawData(record.data(), length) != length) {
        return false;
    }
    QDataStream fields(record);
    prepareStream(fields);
    qint32 windowId = 0;
    qint32 stayOnTop = 0;
    qint32 x = 0;
    qint32 y = 0;
    qint32 width = 0;
    qint32 height = 0;
    qint32 windowState = 0;
    fields >> windowId >> stayOnTop >> x >> y >> width >> height >> windowState;
    // A window is never negative in size, and its right and bottom edges must be numbers a
    // rectangle can hold.
    if (!streamOk(fields) || width < 0 || height < 0 || !fitsInInt(qint64(x) + width - 1)
        || !fitsInInt(qint64(y) + height - 1)) {
        return false;
    }
    info.windowId = windowId;
    info.stayOnTop = stayOnTop == 1;
    // Built from its corners: QRect(x, y, width, height) adds in int before subtracting one.
    info.rect = QRect(QPoint(x, y), QPoint(int(qint64(x) + width - 1), int(qint64(y) + height - 1)));
    info.windowState = windowState;
    info.parameters.clear();
    while (!fields.atEnd()) {
        qint32 tag = 0;
        fields >> tag;
        QVariant parameter;
        if (!streamOk(fields) || !readParameter(fields, parameter)) {
            return false;
        }
        info.parameters.append(parameter);
    }
    return true;
}

int ProjectFileHelper::readFileData(const QByteArray& data)
{
    if (data.isEmpty()) {
        return ReadFailed;
    }
    QDataStream file(data);
    prepareStream(file);

    char field[ProjectFileIdFieldSize];
    if (!readIdField(file, field) || std::memcmp(field, ProjectFileFileID1, ProjectFileIdFieldSize) != 0) {
        return ReadFailed;
    }
    if (!readIdField(file, field) || std::memcmp(field, ProjectFileFileID2, ProjectFileIdFieldSize) != 0) {
        return ReadFailed;
    }
    if (!readIdField(file, field)) {
        return ReadFailed;
    }
    // Each digit on its own: 1.4.9 is refused because 9 > 0.
    for (const int position : ProjectFileVersionDigitPositions) {
        if (convertStringToInt(field[position]) > convertStringToInt(ProjectFileFileVersion[position])) {
            return ReadVersionTooNew;
        }
    }
    qint32 chunkId = 0;
    file >> chunkId;
    if (!streamOk(file) || chunkId != ProjectFileWindowDataChunkId) {
        return ReadFailed;
    }
    qint32 windowDataSize = 0;
    if (!readLength(file, windowDataSize) || windowDataSize == 0) {
        return ReadFailed;
    }
    // A view over the window data, without a copy; `data` outlives it.
    const QByteArray windowData =
        QByteArray::fromRawData(data.constData() + file.device()->pos(), windowDataSize);
    QDataStream windows(windowData);
    prepareStream(windows);

    WindowInfoStruct mainWindow;
    if (!readWindowInfo(windows, mainWindow)) {
        return ReadFailed;
    }
    m_windows.restoreMainWindow(mainWindow);

    while (!windows.atEnd()) {
        WindowInfoStruct info;
        if (!readWindowInfo(windows, info)) {
            return ReadFailed;
        }
        FileStream* view = nullptr;
        if (!m_windows.createToolWindow(info, view)) {
            return ReadFailed;
        }
        // Every saved window has a payload frame; a view that stores nothing skips it.
        qint32 payloadSize = 0;
        if (!readLength(windows, payloadSize)) {
            return ReadFailed;
        }
        if (payloadSize == 0) {
            continue;
        }
        const QByteArray payload =
            QByteArray::fromRawData(windowData.constData() + windows.device()->pos(), payloadSize);
        if (windows.skipRawData(payloadSize) != payloadSize) {
            return ReadFailed;
        }
        if (view != nullptr) {
            QDataStream payloadStream(payload);
            prepareStream(payloadStream);
            if (!view->setDataStream(payloadStream)) {
                return ReadFailed;
            }
        }
    }
    return ReadSucceeded;
}

int ProjectFileHelper::readFile(const QString& path)
{
    QFile file(path);
    // A pipe or device has no size to check before reading it whole.
    if (!file.open(QIODevice::ReadOnly) || file.isSequential() || file.size() > ProjectFileMaximumSize) {
        return ReadFailed;
    }
    const QByteArray data = file.readAll();
    file.close();
    return readFileData(data);
}
