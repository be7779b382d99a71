#include "support/ImageResources.h"
#include "support/LookConstants.h"

#include <QGuiApplication>
#include <QImage>
#include <QtTest>

class tst_LookAndImages : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { registerImageResources(); }

    void imagesAreRegisteredAtDoubleResolution_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("logicalSize");
        QTest::newRow("open") << Images::Open << QSize(64, 32);
        QTest::newRow("7seg") << Images::SevenSegment << QSize(360, 48);
        QTest::newRow("subwindow icon") << Images::SubwindowIcon << QSize(16, 16);
    }

    void imagesAreRegisteredAtDoubleResolution()
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
};

QTEST_MAIN(tst_LookAndImages)
#include "tst_LookAndImages.moc"
