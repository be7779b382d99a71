#include "model/TulvarMidiModel.h"

#include <QtTest>

Q_DECLARE_METATYPE(ModelToTextConverter)

// What every row of the parameter table must satisfy, and the few rows users meet by name.
class tst_ParameterTable : public QObject {
    Q_OBJECT

private:
    TulvarMidiModel model;

private slots:
    void everyIntegerRowHoldsItsDefaultInRangeAndAText()
    {
        // The filter switches are unnamed 0/1 blocks of the documented sizes.
        QList<QPair<unsigned int, int>> const switchBlocks{{ChannelFilterParameterId, ChannelFilterCount},
                                                           {MessageTypeFilterParameterId, MessageTypeFilterCount},
                                                           {ControlChangeFilterParameterId, ControlChangeFilterCount},
                                                           {SystemCommonFilterParameterId, SystemCommonFilterCount},
                                                           {SystemRealtimeFilterParameterId, SystemRealtimeFilterCount}};
        QSet<unsigned int> switches;
        for (auto const& block : switchBlocks) {
            for (int i = 0; i < block.second; ++i)
                switches.insert(block.first + unsigned(i));
        }
        int rows = 0;
        for (unsigned int id = 0; id <= 1400; ++id) {
            MODEL_RESULT r = MODEL_RESULT_OK;
            int const minimum = model.getModelMinimumValue(id, &r);
            if (r != MODEL_RESULT_OK) {
                QVERIFY2(!switches.contains(id), qPrintable(QString::number(id)));
                continue;
            }
            ++rows;
            int const maximum = model.getModelMaximumValue(id);
            int const defaultValue = model.getModelDefaultValue(id);
            QVERIFY2(minimum <= defaultValue && defaultValue <= maximum, qPrintable(QString::number(id)));
            QCOMPARE(model.getModelIntValue(id), defaultValue);
            if (switches.contains(id)) {
                QVERIFY(minimum == 0 && maximum == 1 && defaultValue == 0);
            }
            // Settings and preferences are named; switches and the editor's state are not.
            QCOMPARE(model.getModelParameterName(id).isEmpty(), id < 500 || switches.contains(id));
            for (int value = minimum; value <= std::min(maximum, minimum + 3); ++value) {
                r = MODEL_RESULT_ERROR;
                QVERIFY(!model.getParameterString(id, value, &r).isEmpty());
                QCOMPARE(r, MODEL_RESULT_OK);
            }
        }
        QCOMPARE(rows, switches.size() + 3 + 7 + 9 + 4);
        MODEL_RESULT r = MODEL_RESULT_OK;
        model.getModelParameterName(UndefinedId, &r);
        QCOMPARE(r, MODEL_RESULT_ERROR);
    }

    void rowsUsersSeeByName_data()
    {
        QTest::addColumn<unsigned int>("id");
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("defaultValue");
        QTest::addColumn<QString>("name");
        QTest::newRow("bulk interval") << 501u << 0 << 1000 << 0 << "Bulk Interval (ms)";
        QTest::newRow("parser") << 1207u << 0 << 1 << 1 << "Parser";
        QTest::newRow("octave") << 1301u << -5 << 4 << 0 << "Octave";
        QTest::newRow("channel") << 1302u << 1 << 16 << 1 << "Channel";
        QTest::newRow("velocity") << 1303u << 0 << 127 << 64 << "Velocity";
    }

    void rowsUsersSeeByName()
    {
        QFETCH(unsigned int, id);
        QTEST(model.getModelMinimumValue(id), "minimum");
        QTEST(model.getModelMaximumValue(id), "maximum");
        QTEST(model.getModelDefaultValue(id), "defaultValue");
        QTEST(model.getModelParameterName(id), "name");
    }

    void folderParametersStartAtTheDocumentFolder()
    {
        QString const documents = getDocumentDirectory();
        MODEL_RESULT r = 99;
        QCOMPARE(model.getModelStringValue(DumpFileWorkingDirectoryParameterId, &r), documents);
        QCOMPARE(r, MODEL_RESULT_OK);
        QCOMPARE(model.getModelDefaultStringValue(ProjectFileWorkingDirectoryParameterId), documents);
        QCOMPARE(model.getModelParameterName(2), QStringLiteral("Project File Working Directory"));
    }

    // The words the preferences show; anything outside the table is an error with no text.
    void convertersMapTheirTablesAndRejectTheRest_data()
    {
        QTest::addColumn<ModelToTextConverter>("converter");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("knob mode") << ModelToTextConverter(getKnobModeString) << QStringList{"Circular", "Linear"};
        QTest::newRow("program number base") << ModelToTextConverter(getProgramNumberBaseString)
                                             << QStringList{"Zero-based", "One-based"};
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
        for (int outside : {-1, int(texts.size()), INT_MIN}) {
            QCOMPARE(converter(outside, &r), QString());
            QCOMPARE(r, MODEL_RESULT_ERROR);
        }
    }
};

QTEST_GUILESS_MAIN(tst_ParameterTable)
#include "tst_ParameterTable.moc"
