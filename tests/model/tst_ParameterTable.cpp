#include "model/TulvarMidiModel.h"

#include <QStandardPaths>
#include <QtTest>

Q_DECLARE_METATYPE(ModelToTextConverter)

class tst_ParameterTable : public QObject {
    Q_OBJECT

private:
    TulvarMidiModel model;

    void addSwitchRows(unsigned int first, int count)
    {
        for (int i = 0; i < count; ++i) {
            unsigned int const id = first + static_cast<unsigned int>(i);
            QTest::addRow("%u", id) << id << 0 << 1 << 0 << QString() << ModelToTextConverter(nullptr);
        }
    }

private slots:
    void integerParametersHaveTheirRangeDefaultNameAndConverter_data()
    {
        QTest::addColumn<unsigned int>("id");
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("defaultValue");
        QTest::addColumn<QString>("name");
        QTest::addColumn<ModelToTextConverter>("converter");
        auto row = [](unsigned int id, int min, int max, int def, char const* name,
                      ModelToTextConverter converter = nullptr) {
            QTest::addRow("%u", id) << id << min << max << def << QString::fromUtf8(name) << converter;
        };
        row(0, 0, 2, 0, "");
        row(3, 0, 1, 0, "");
        row(4, 0, 1, 0, "");
        row(500, 0, 1, 0, "MIDI Thru");
        row(501, 0, 1000, 0, "Bulk Interval (ms)");
        row(502, 0, 1, 0, "MIDI Thru");
        row(503, 0, 2147483647, 0, "Input Port Index");
        row(504, 0, 2147483647, 0, "Input Port Index");
        row(505, 0, 2147483647, 0, "Output Port Index");
        row(506, 0, 2147483647, 0, "Output Port Index");
        addSwitchRows(600, 16);
        addSwitchRows(700, 10);
        addSwitchRows(800, 128);
        addSwitchRows(1000, 4);
        addSwitchRows(1100, 6);
        row(1200, 0, 1, 0, "Knob Mode", getKnobModeString);
        row(1201, 0, 1, 0, "Time");
        row(1202, 0, 1, 0, "Font Size", getMessageFontSizeString);
        row(1203, 0, 1, 0, "Color");
        row(1204, 0, 1, 0, "Detail");
        row(1205, 0, 2, 0, "Middle C", getMessageMiddleCString);
        row(1206, 0, 1, 0, "Time Format", getTimeFormatString);
        row(1207, 0, 1, 1, "Parser");
        row(1208, 0, 1, 1, "Program Number", getProgramNumberBaseString);
        row(1300, 0, 1, 0, "Enable");
        row(1301, -5, 4, 0, "Octave");
        row(1302, 1, 16, 1, "Channel");
        row(1303, 0, 127, 64, "Velocity");
    }

    void integerParametersHaveTheirRangeDefaultNameAndConverter()
    {
        QFETCH(unsigned int, id);
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        QFETCH(int, defaultValue);
        QFETCH(QString, name);
        QFETCH(ModelToTextConverter, converter);
        MODEL_RESULT r = 99;
        QCOMPARE(model.getModelMinimumValue(id, &r), minimum);
        QCOMPARE(r, MODEL_RESULT_OK);
        QCOMPARE(model.getModelMaximumValue(id), maximum);
        QCOMPARE(model.getModelDefaultValue(id), defaultValue);
        QCOMPARE(model.getModelIntValue(id), defaultValue);
        QCOMPARE(model.getModelParameterName(id), name);
        for (int value = minimum; value <= std::min(maximum, minimum + 3); ++value) {
            QString const expected = converter ? converter(value, nullptr) : QString::number(value);
            QCOMPARE(model.getParameterString(id, value), expected);
        }
    }

    void identifiersOutsideTheBlocksDoNotExist_data()
    {
        QTest::addColumn<unsigned int>("id");
        for (unsigned int id : {5u, 499u, 507u, 599u, 616u, 699u, 710u, 799u, 928u, 999u, 1004u,
                                1099u, 1106u, 1199u, 1209u, 1299u, 1304u, UndefinedId}) {
            QTest::addRow("%u", id) << id;
        }
    }

    void identifiersOutsideTheBlocksDoNotExist()
    {
        QFETCH(unsigned int, id);
        MODEL_RESULT r = MODEL_RESULT_OK;
        model.getModelParameterName(id, &r);
        QCOMPARE(r, MODEL_RESULT_ERROR);
    }

    void folderParametersStartAtTheDocumentFolder()
    {
        QString const documents = getDocumentDirectory();
        QStringList const standard = QStandardPaths::standardLocations(QStandardPaths::DocumentsLocation);
        QCOMPARE(documents, standard.isEmpty() ? QString() : standard.first());
        MODEL_RESULT r = 99;
        QCOMPARE(model.getModelStringValue(1, &r), documents);
        QCOMPARE(r, MODEL_RESULT_OK);
        QCOMPARE(model.getModelStringValue(2), documents);
        QCOMPARE(model.getModelDefaultStringValue(1), documents);
        QCOMPARE(model.getModelParameterName(1), QStringLiteral("Dump File Working Directory"));
        QCOMPARE(model.getModelParameterName(2), QStringLiteral("Project File Working Directory"));
        model.getModelIntValue(1, &r);
        QCOMPARE(r, MODEL_RESULT_ERROR);
    }

    void convertersMapTheirTablesAndRejectTheRest_data()
    {
        QTest::addColumn<ModelToTextConverter>("converter");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("knob mode") << ModelToTextConverter(getKnobModeString)
                                   << QStringList{"Circular", "Linear"};
        QTest::newRow("program number base") << ModelToTextConverter(getProgramNumberBaseString)
                                             << QStringList{"Zero-based", "One-based"};
        QTest::newRow("font size") << ModelToTextConverter(getMessageFontSizeString)
                                   << QStringList{"Normal", "Large"};
        QTest::newRow("middle C") << ModelToTextConverter(getMessageMiddleCString)
                                  << QStringList{"C3", "C4", "C5"};
        QTest::newRow("time format") << ModelToTextConverter(getTimeFormatString)
                                     << QStringList{"Clock", "Integer"};
    }

    void convertersMapTheirTablesAndRejectTheRest()
    {
        QFETCH(ModelToTextConverter, converter);
        QFETCH(QStringList, texts);
        MODEL_RESULT r = 99;
        for (int i = 0; i < texts.size(); ++i) {
            QCOMPARE(converter(i, &r), texts.at(i));
            QCOMPARE(r, MODEL_RESULT_OK);
        }
        for (int outside : {-1, static_cast<int>(texts.size()), 1000, INT_MIN}) {
            r = MODEL_RESULT_OK;
            QCOMPARE(converter(outside, &r), QString());
            QCOMPARE(r, MODEL_RESULT_ERROR);
        }
    }
};

QTEST_GUILESS_MAIN(tst_ParameterTable)
#include "tst_ParameterTable.moc"
