#pragma once

// Shared by the tool view tests: a model, the stand-in main window, what was sent as hex text,
// and a project payload to read.

#include "model/TulvarMidiModel.h"
#include "persistence/FileStream.h"
#include "persistence/ProjectFileHelper.h"
#include "testkit/FakeMainWindow.h"

#include <QByteArray>
#include <QDataStream>
#include <QStringList>

#include <vector>

struct ToolViewFixture {
    // Messages sent since the last call, as "B0 07 64".
    QStringList takeSent()
    {
        QStringList hexText;
        const std::vector<TransmittedMessage> all = mainWindow.transmitter.messages();
        for (size_t i = m_taken; i < all.size(); ++i) {
            hexText << QString::fromLatin1(all[i].bytes.toHex(' ').toUpper());
        }
        m_taken = all.size();
        return hexText;
    }

    // Tool views send to both output ports with the bulk interval waits.
    bool everythingWentToBothOutputsWithWaits() const
    {
        for (const TransmittedMessage& message : mainWindow.transmitter.messages()) {
            if (message.group != OutputPortGroupBoth || message.skipBulkWait) {
                return false;
            }
        }
        return true;
    }

    bool edited() { return model.getParameterEditFlag() == ParameterEditFlagChanged; }
    void clearEdited() { model.setParameterEditFlag(ParameterEditFlagUnchanged); }

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
