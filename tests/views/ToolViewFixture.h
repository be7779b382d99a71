#pragma once

// Shared by the tool view tests: a model, the stand-in main window, what was sent as hex text,
// and a view's project payload.

#include "MidiEditFixture.h"

#include "persistence/FileStream.h"
#include "persistence/ProjectFileHelper.h"

#include <QByteArray>
#include <QDataStream>
#include <QStringList>

struct ToolViewFixture {
    // Messages sent since the last call, as "B0 07 64".
    QStringList takeSent()
    {
        QStringList hex;
        const std::vector<QByteArray> all = mainWindow.sent();
        for (size_t i = m_taken; i < all.size(); ++i) {
            hex << QString::fromLatin1(all[i].toHex(' ').toUpper());
        }
        m_taken = all.size();
        return hex;
    }

    bool edited() { return model.getParameterEditFlag() == ParameterEditFlagChanged; }
    void clearEdited() { model.setParameterEditFlag(ParameterEditFlagUnchanged); }

    static QByteArray payloadOf(FileStream& view)
    {
        QByteArray bytes;
        QDataStream stream(&bytes, QIODevice::WriteOnly);
        ProjectFileHelper::prepareStream(stream);
        return view.getDataStream(stream) ? bytes : QByteArray();
    }

    // Integer records (tag, value) in the order given, as a project file holds them.
    static QByteArray payloadOf(const QList<QPair<qint32, qint32>>& records)
    {
        QByteArray bytes;
        QDataStream stream(&bytes, QIODevice::WriteOnly);
        ProjectFileHelper::prepareStream(stream);
        for (const auto& record : records) {
            FileStream::setIntParameterToStream(stream, record.first, record.second);
        }
        return bytes;
    }

    static bool read(FileStream& view, const QByteArray& payload)
    {
        QDataStream stream(payload);
        ProjectFileHelper::prepareStream(stream);
        return view.setDataStream(stream);
    }

    TulvarMidiModel model;
    FakeMainWindow mainWindow;

private:
    size_t m_taken = 0;
};
