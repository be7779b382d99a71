#include "app/support/ImageResources.h"
#include "app/support/LookConstants.h"
#include "app/support/ValueRange.h"

#include <QGuiApplication>
#include <QImage>
#include <QtTest>

class tst_LookAndImages : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { registerImageResources(); }

    void everyImageIsRegisteredAtDoubleResolution_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("logicalSize");
        QTest::newRow("open") << Images::Open << QSize(64, 32);
        QTest::newRow("prev") << Images::Prev << QSize(64, 32);
        QTest::newRow("close") << Images::Close << QSize(64, 32);
        QTest::newRow("rx") << Images::Rx << QSize(64, 32);
        QTest::newRow("down arrow") << Images::DownArrowButton << QSize(28, 24);
        QTest::newRow("find") << Images::Find << QSize(64, 32);
        QTest::newRow("play stop") << Images::PlayStop << QSize(60, 15);
        QTest::newRow("txrx") << Images::TxRx << QSize(64, 32);
        QTest::newRow("continue") << Images::Continue << QSize(40, 20);
        QTest::newRow("play") << Images::Play << QSize(40, 20);
        QTest::newRow("7seg") << Images::SevenSegment << QSize(360, 48);
        QTest::newRow("disk") << Images::Disk << QSize(64, 32);
        QTest::newRow("file") << Images::File << QSize(64, 32);
        QTest::newRow("stop") << Images::Stop << QSize(40, 20);
        QTest::newRow("up arrow") << Images::UpArrowButton << QSize(28, 24);
        QTest::newRow("about") << Images::About << QSize(501, 170);
        QTest::newRow("tx") << Images::Tx << QSize(64, 32);
        QTest::newRow("next") << Images::Next << QSize(64, 32);
        QTest::newRow("subwindow icon") << Images::SubwindowIcon << QSize(16, 16);
    }

    void everyImageIsRegisteredAtDoubleResolution()
    {
        QFETCH(QString, path);
        QFETCH(QSize, logicalSize);
        QPixmap const pixmap = loadImage(path);
        QVERIFY2(!pixmap.isNull(), qPrintable(path));
        QCOMPARE(pixmap.devicePixelRatio(), DevicePixelRatio);
        QCOMPARE(pixmap.size(), logicalSize * 2);
        QImage const image = pixmap.toImage();
        // Not blank: some pixel is drawn in each half.
        auto drawnIn = [&image](int left, int right) {
            for (int y = 0; y < image.height(); ++y) {
                for (int x = left; x < right; ++x) {
                    if (qAlpha(image.pixel(x, y)) > 0) {
                        return true;
                    }
                }
            }
            return false;
        };
        QVERIFY(drawnIn(0, image.width() / 2));
        QVERIFY(drawnIn(image.width() / 2, image.width()));
    }

    void valueRangesHoldTheirDefaults()
    {
        for (ValueRange const& range : {PitchBendSliderValue, PitchBendDisplayValue, PitchBendValue,
                                        ActiveSenseValue, TempoValue, ChannelDisplayValue, VelocityValue,
                                        ProgramChangeMSBValue, ProgramChangeLSBValue, ProgramChangeNumberValue,
                                        ControlChangeValue, SysExSettingsRepeatValue,
                                        SysExSettingsIntervalValue, CustomMIDIMessageValue,
                                        CustomMIDIMessageKnobTargetByte, TransportPanelSongNumber,
                                        TransportpanelSongPosition}) {
            QVERIFY2(range.minimum <= range.defaultValue && range.defaultValue <= range.maximum, range.name);
        }
    }
};

QTEST_MAIN(tst_LookAndImages)
#include "tst_LookAndImages.moc"
