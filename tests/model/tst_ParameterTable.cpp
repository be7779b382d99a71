#include "model/TulvarMidiModel.h"

#include <QStandardPaths>
#include <QtTest>

Q_DECLARE_METATYPE(ModelToTextConverter)

class tst_ParameterTable : public QObject {
    Q_OBJECT

private:
    TulvarMidiModel model;

    // The blocks of integer identifiers, first and last of each.
    static QList<QPair<unsigned int, unsigned int>> blocks()
    {
        return {{0, 0},       {3, 4},       {500, 506},   {600, 615},  {700, 709},
                {800, 927},   {1000, 1003}, {1100, 1105}, {1200, 1208}, {1300, 1303}};
    }

private slots:
    void everyIntegerParameterIsInABlockWithItsDefaultInRange()
    {
        QSet<unsigned int> expected;
        for (auto const& block : blocks()) {
            for (unsigned int id = block.first; id <= block.second; ++id) {
                expected.insert(id);
            }
        }
        QHash<unsigned int, int> const nonZeroDefaults{{1207, 1}, {1208, 1}, {1302, 1}, {1303, 64}};
        QSet<unsigned int> const converted{1200, 1202, 1205, 1206, 1208};
        for (unsigned int id = 0; id <= 1400; ++id) {
            MODEL_RESULT r = MODEL_RESULT_OK;
            int const minimum = model.getModelMinimumValue(id, &r);
            QVERIFY2((r == MODEL_RESULT_OK) == expected.contains(id), qPrintable(QString::number(id)));
            if (r != MODEL_RESULT_OK) {
                continue;
            }
            int const maximum = model.getModelMaximumValue(id);
            int const defaultValue = model.getModelDefaultValue(id);
            QVERIFY2(minimum <= defaultValue && defaultValue <= maximum, qPrintable(QString::number(id)));
            QCOMPARE(defaultValue, nonZeroDefaults.value(id, 0));
            QCOMPARE(model.getModelIntValue(id), defaultValue);
            // Switches and editor state are unnamed; settings and preferences are named.
            QCOMPARE(model.getModelParameterName(id).isEmpty(), id < 500 || (id >= 600 && id < 1200));
            for (int value = minimum; value <= std::min(maximum, minimum + 3); ++value) {
                r = MODEL_RESULT_ERROR;
                QString const text = model.getParameterString(id, value, &r);
                QCOMPARE(r, MODEL_RESULT_OK);
                QVERIFY(!text.isEmpty());
                QCOMPARE(text == QString::number(value), !converted.contains(id));
            }
        }
        MODEL_RESULT r = MODEL_RESULT_OK;
        model.getModelParameterName(UndefinedId, &r);
        QCOMPARE(r, MODEL_RESULT_ERROR);
    }

    void namedRowsKeepTheirRangeDefaultAndName_data()
    {
        QTest::addColumn<unsigned int>("id");
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("defaultValue");
        QTest::addColumn<QString>("name");
        auto row = [](unsigned int id, int min, int max, int def, char const* name) {
            QTest::addRow("%u", id) << id << min << max << def << QString::fromUtf8(name);
        };
        row(501, 0, 1000, 0, "Bulk Interval (ms)");
        row(500, 0, 1, 0, "MIDI Thru");
        row(502, 0, 1, 0, "MIDI Thru");
        row(503, 0, 2147483647, 0, "Input Port Index");
        row(1207, 0, 1, 1, "Parser");
        row(1208, 0, 1, 1, "Program Number");
        row(1301, -5, 4, 0, "Octave");
        row(1302, 1, 16, 1, "Channel");
        row(1303, 0, 127, 64, "Velocity");
    }

    void namedRowsKeepTheirRangeDefaultAndName()
    {
        QFETCH(unsigned int, id);
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        QFETCH(int, defaultValue);
        QFETCH(QString, name);
        QCOMPARE(model.getModelMinimumValue(id), minimum);
        QCOMPARE(model.getModelMaximumValue(id), maximum);
        QCOMPARE(model.getModelDefaultValue(id), defaultValue);
        QCOMPARE(model.getModelParameterName(id), name);
    }

    void parameterStringsUseTheConverterOrTheNumber()
    {
        MODEL_RESULT r = MODEL_RESULT_ERROR;
        QCOMPARE(model.getParameterString(1205, 2, &r), QStringLiteral("C5"));
        QCOMPARE(r, MODEL_RESULT_OK);
        QCOMPARE(model.getParameterString(1205, 3, &r), QString());
        QCOMPARE(r, MODEL_RESULT_ERROR);
        QCOMPARE(model.getParameterString(1301, -5), QStringLiteral("-5"));
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
