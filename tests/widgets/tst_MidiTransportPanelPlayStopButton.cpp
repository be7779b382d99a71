#include "widgets/MidiTransportPanelPlayStopButton.h"

#include <QPainter>
#include <QtTest>

class MidiTransportPanelPlayStopButtonTest : public QObject
{
    Q_OBJECT

private slots:
    void paintsTheButtonFaceThenTheImage();
};

void MidiTransportPanelPlayStopButtonTest::paintsTheButtonFaceThenTheImage()
{
    QPixmap image(40, 20);
    {
        QPainter painter(&image);
        painter.fillRect(0, 0, 20, 20, Qt::red);
        painter.fillRect(20, 0, 20, 20, Qt::blue);
    }
    image.setDevicePixelRatio(2.0);

    QWidget window;
    MidiTransportPanelPlayStopButton button(&window);
    PushButton plain(&window);
    for (PushButton* b : {static_cast<PushButton*>(&button), &plain}) {
        b->setPixmap(image);
        b->setImagePosition(15, 15);
        b->resize(60, 34);
    }
    window.show();

    QImage shot = button.grab().toImage();
    QCOMPARE(shot.pixelColor(20, 20), QColor(Qt::red));
    // Beside the image the standard face shows, where a bare PushButton shows nothing.
    QImage const bare = plain.grab().toImage();
    QVERIFY(shot.pixelColor(50, 5) != bare.pixelColor(50, 5));
    QVERIFY(shot.pixelColor(1, 17) != bare.pixelColor(1, 17));

    button.setDown(true);
    QCOMPARE(button.grab().toImage().pixelColor(20, 20), QColor(Qt::blue));
}

QTEST_MAIN(MidiTransportPanelPlayStopButtonTest)
#include "tst_MidiTransportPanelPlayStopButton.moc"
