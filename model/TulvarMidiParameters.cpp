#include "model/TulvarMidiParameters.h"

#include "model/ModelIF.h"

#include <QStandardPaths>
#include <QStringList>

namespace {

QString tableEntry(QStringList const& table, int value, MODEL_RESULT* result)
{
    if (value < 0 || value >= table.size()) {
        setModelResult(result, MODEL_RESULT_ERROR);
        return QString();
    }
    setModelResult(result, MODEL_RESULT_OK);
    return table.at(value);
}

void createSwitches(ModelIF* model, unsigned int firstId, int count)
{
    for (int i = 0; i < count; ++i) {
        model->createIntParameter(firstId + static_cast<unsigned int>(i), 0, 1, 0, QString(), nullptr,
                                  nullptr);
    }
}

} // namespace

QString getKnobModeString(int value, MODEL_RESULT* result)
{
    static QStringList const table{QStringLiteral("Circular"), QStringLiteral("Linear")};
    return tableEntry(table, value, result);
}

QString getProgramNumberBaseString(int value, MODEL_RESULT* result)
{
    static QStringList const table{QStringLiteral("Zero-based"), QStringLiteral("One-based")};
    return tableEntry(table, value, result);
}

QString getMessageFontSizeString(int value, MODEL_RESULT* result)
{
    static QStringList const table{QStringLiteral("Normal"), QStringLiteral("Large")};
    return tableEntry(table, value, result);
}

QString getMessageMiddleCString(int value, MODEL_RESULT* result)
{
    static QStringList const table{QStringLiteral("C3"), QStringLiteral("C4"), QStringLiteral("C5")};
    return tableEntry(table, value, result);
}

QString getTimeFormatString(int value, MODEL_RESULT* result)
{
    static QStringList const table{QStringLiteral("Clock"), QStringLiteral("Integer")};
    return tableEntry(table, value, result);
}

QString getDocumentDirectory()
{
    QStringList const folders = QStandardPaths::standardLocations(QStandardPaths::DocumentsLocation);
    return folders.isEmpty() ? QString() : folders.first();
}

TulvarMidiParameters::TulvarMidiParameters(ModelIF* model)
{
    createParameters(model);
}

void TulvarMidiParameters::createParameters(ModelIF* model)
{
    if (model == nullptr) {
        return;
    }
    QString const documents = getDocumentDirectory();
    auto integer = [model](unsigned int id, int minimum, int maximum, int defaultValue,
                           QString const& name, ModelToTextConverter toText = nullptr) {
        model->createIntParameter(id, minimum, maximum, defaultValue, name, toText, nullptr);
    };

    integer(MidiEditTransmissionStateParameterId, 0, 2, 0, QString());
    model->createStringParameter(DumpFileWorkingDirectoryParameterId, documents,
                                 QStringLiteral("Dump File Working Directory"));
    model->createStringParameter(ProjectFileWorkingDirectoryParameterId, documents,
                                 QStringLiteral("Project File Working Directory"));
    integer(EditFlagParameterId, 0, 1, 0, QString());
    integer(MidiEditRepeatModeParameterId, 0, 1, 0, QString());

    integer(MidiThruParameterId, 0, 1, 0, QStringLiteral("MIDI Thru"));
    integer(BulkIntervalParameterId, 0, 1000, 0, QStringLiteral("Bulk Interval (ms)"));
    integer(MidiThruSecondParameterId, 0, 1, 0, QStringLiteral("MIDI Thru"));
    integer(InputPortIndexParameterId, 0, UnboundedIndexMaximum, 0, QStringLiteral("Input Port Index"));
    integer(InputPortIndexSecondParameterId, 0, UnboundedIndexMaximum, 0,
            QStringLiteral("Input Port Index"));
    integer(OutputPortIndexParameterId, 0, UnboundedIndexMaximum, 0,
            QStringLiteral("Output Port Index"));
    integer(OutputPortIndexSecondParameterId, 0, UnboundedIndexMaximum, 0,
            QStringLiteral("Output Port Index"));

    createSwitches(model, ChannelFilterParameterId, ChannelFilterCount);
    createSwitches(model, MessageTypeFilterParameterId, MessageTypeFilterCount);
    createSwitches(model, ControlChangeFilterParameterId, ControlChangeFilterCount);
    createSwitches(model, SystemCommonFilterParameterId, SystemCommonFilterCount);
    createSwitches(model, SystemRealtimeFilterParameterId, SystemRealtimeFilterCount);

    integer(KnobModeParameterId, 0, 1, 0, QStringLiteral("Knob Mode"), getKnobModeString);
    integer(TimeStampParameterId, 0, 1, 0, QStringLiteral("Time"));
    integer(MessageFontSizeParameterId, 0, 1, 0, QStringLiteral("Font Size"), getMessageFontSizeString);
    integer(MessageColorParameterId, 0, 1, 0, QStringLiteral("Color"));
    integer(MessageDetailParameterId, 0, 1, 0, QStringLiteral("Detail"));
    integer(MessageMiddleCParameterId, 0, 2, 0, QStringLiteral("Middle C"), getMessageMiddleCString);
    integer(MessageTimeFormatParameterId, 0, 1, 0, QStringLiteral("Time Format"), getTimeFormatString);
    integer(MessageParsedParameterId, 0, 1, 1, QStringLiteral("Parser"));
    integer(ProgramNumberBaseParameterId, 0, 1, 1, QStringLiteral("Program Number"),
            getProgramNumberBaseString);

    integer(PCKeyboardEnableParameterId, 0, 1, 0, QStringLiteral("Enable"));
    integer(PCKeyboardOctaveParameterId, -5, 4, 0, QStringLiteral("Octave"));
    integer(PCKeyboardChannelParameterId, 1, 16, 1, QStringLiteral("Channel"));
    integer(PCKeyboardVelocityParameterId, 0, 127, 64, QStringLiteral("Velocity"));
}
