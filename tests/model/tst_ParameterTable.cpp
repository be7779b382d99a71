#include "model/TulvarMidiModel.h"

#include <QtTest>

// What every row of the parameter table must satisfy, and the few rows users meet by name.
class tst_ParameterTable : public QObject {
    Q_OBJECT

private:
    TulvarMidiModel model;

    // A value outside the row's range is either printed as a number or refused without a text.
    void checkTextOutsideTheRange(unsigned int id, int value)
    {
        MODEL_RESULT r = MODEL_RESULT_OK;
        QString const text = model.getParameterString(id, value, &r);
        QVERIFY2(r == MODEL_RESULT_OK ? text == QString::number(value) : text.isEmpty(),
                 qPrintable(QStringLiteral("%1 at %2").arg(id).arg(value)));
    }

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
            QStringList texts;
            for (int value = minimum; value <= std::min(maximum, minimum + 3); ++value) {
                r = MODEL_RESULT_ERROR;
                texts << model.getParameterString(id, value, &r);
                QVERIFY(!texts.last().isEmpty());
                QCOMPARE(r, MODEL_RESULT_OK);
            }
            QCOMPARE(texts.removeDuplicates(), 0);
            checkTextOutsideTheRange(id, minimum - 1);
            if (maximum < INT_MAX)
                checkTextOutsideTheRange(id, maximum + 1);
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
        QTest::addColumn<QString>("textOfMaximum");
        QTest::newRow("bulk interval") << 501u << 0 << 1000 << 0 << "Bulk Interval (ms)" << "1000";
        QTest::newRow("knob mode") << 1200u << 0 << 1 << 0 << "Knob Mode" << "Linear";
        QTest::newRow("middle C") << 1205u << 0 << 2 << 0 << "Middle C" << "C5";
        QTest::newRow("parser") << 1207u << 0 << 1 << 1 << "Parser" << "1";
        QTest::newRow("octave") << 1301u << -5 << 4 << 0 << "Octave" << "4";
        QTest::newRow("channel") << 1302u << 1 << 16 << 1 << "Channel" << "16";
        QTest::newRow("velocity") << 1303u << 0 << 127 << 64 << "Velocity" << "127";
    }

    void rowsUsersSeeByName()
    {
        QFETCH(unsigned int, id);
        QFETCH(int, maximum);
        QTEST(model.getModelMinimumValue(id), "minimum");
        QTEST(model.getModelMaximumValue(id), "maximum");
        QTEST(model.getModelDefaultValue(id), "defaultValue");
        QTEST(model.getModelParameterName(id), "name");
        QTEST(model.getParameterString(id, maximum), "textOfMaximum");
    }

    void folderParametersStartAtTheDocumentFolder()
    {
        QCOMPARE(model.getModelStringValue(DumpFileWorkingDirectoryParameterId), getDocumentDirectory());
        QCOMPARE(model.getModelDefaultStringValue(ProjectFileWorkingDirectoryParameterId), getDocumentDirectory());
        QCOMPARE(model.getModelParameterName(2), QStringLiteral("Project File Working Directory"));
    }
};

QTEST_GUILESS_MAIN(tst_ParameterTable)
#include "tst_ParameterTable.moc"
