#include "model/TulvarMidiModel.h"

#include <QStandardPaths>
#include <QtTest>

Q_DECLARE_METATYPE(ModelToTextConverter)

class tst_ParameterTable : public QObject {
    Q_OBJECT

private:
    TulvarMidiModel model;

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
        row(501, 0, 1000, 0, "Bulk Interval (ms)");
        row(503, 0, 2147483647, 0, "Input Port Index");
        row(505, 0, 2147483647, 0, "Output Port Index");
        // The filter switches: channels, message types, controllers, system common and realtime.
        for (auto block : {std::make_pair(600u, 616u), {700u, 710u}, {800u, 928u}, {1000u, 1004u}, {1100u, 1106u}})
            for (unsigned int id = block.first; id < block.second; ++id)
                row(id, 0, 1, 0, "");
        row(1200, 0, 1, 0, "Knob Mode", getKnobModeString);
        row(1202, 0, 1, 0, "Font Size", getMessageFontSizeString);
        row(1205, 0, 2, 0, "Middle C", getMessageMiddleCString);
        row(1206, 0, 1, 0, "Time Format", getTimeFormatString);
        row(1207, 0, 1, 1, "Parser");
        row(1208, 0, 1, 1, "Program Number", getProgramNumberBaseString);
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
        QCOMPARE(model.getModelMinimumValue(id), minimum);
        QCOMPARE(model.getModelMaximumValue(id), maximum);
        QCOMPARE(model.getModelIntValue(id), defaultValue);
        QCOMPARE(model.getModelParameterName(id), name);
        for (int value = minimum; value <= std::min(maximum, minimum + 3); ++value) {
            QString const expected = converter ? converter(value, nullptr) : QString::number(value);
            QCOMPARE(model.getParameterString(id, value), expected);
        }
    }

    void identifiersOutsideTheBlocksDoNotExist()
    {
        for (unsigned int id : {5u, 499u, 507u, 599u, 616u, 699u, 710u, 799u, 928u, 999u, 1004u, 1099u, 1106u,
                                1199u, 1209u, 1299u, 1304u, UndefinedId}) {
            MODEL_RESULT r = MODEL_RESULT_OK;
            model.getModelParameterName(id, &r);
            QVERIFY2(r == MODEL_RESULT_ERROR, qPrintable(QString::number(id)));
        }
    }

    void folderParametersStartAtTheDocumentFolder()
    {
        QString const documents = getDocumentDirectory();
        QStringList const standard = QStandardPaths::standardLocations(QStandardPaths::DocumentsLocation);
        QCOMPARE(documents, standard.isEmpty() ? QString() : standard.first());
        QCOMPARE(model.getModelStringValue(1), documents);
        QCOMPARE(model.getModelStringValue(2), documents);
        QCOMPARE(model.getModelParameterName(1), QStringLiteral("Dump File Working Directory"));
        QCOMPARE(model.getModelParameterName(2), QStringLiteral("Project File Working Directory"));
        TulvarMidiParameters::createParameters(nullptr); // no model: nothing happens
    }

    void convertersMapTheirTablesAndRejectTheRest_data()
    {
        QTest::addColumn<ModelToTextConverter>("converter");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("knob mode") << ModelToTextConverter(getKnobModeString) << QStringList{"Circular", "Linear"};
        QTest::newRow("program number base")
            << ModelToTextConverter(getProgramNumberBaseString) << QStringList{"Zero-based", "One-based"};
        QTest::newRow("font size") << ModelToTextConverter(getMessageFontSizeString) << QStringList{"Normal", "Large"};
        QTest::newRow("middle C") << ModelToTextConverter(getMessageMiddleCString) << QStringList{"C3", "C4", "C5"};
        QTest::newRow("time format") << ModelToTextConverter(getTimeFormatString) << QStringList{"Clock", "Integer"};
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
        for (int outside : {-1, static_cast<int>(texts.size()), INT_MIN}) {
            r = MODEL_RESULT_OK;
            QCOMPARE(converter(outside, &r), QString());
            QCOMPARE(r, MODEL_RESULT_ERROR);
        }
    }
};

QTEST_GUILESS_MAIN(tst_ParameterTable)
#include "tst_ParameterTable.moc"
