#include "widgets/ToolButton.h"
#include "widgets/TulvarMidiStyle.h"

#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QtTest>

class tst_ToolButtonAndStyle : public QObject {
    Q_OBJECT

private slots:
    void toolButtonShowsTheDisabledHalfWhenDisabled()
    {
        QPixmap strip(128, 64);
        strip.fill(Qt::blue);
        {
            QPainter painter(&strip);
            painter.fillRect(0, 0, 64, 64, Qt::red);
        }
        strip.setDevicePixelRatio(2.0);

        ToolButton button;
        button.setFixedSize(32, 32);
        button.setPixmap(strip);
        button.show();
        QVERIFY(QTest::qWaitForWindowExposed(&button));
        QCOMPARE(button.grab().toImage().pixelColor(16, 16), QColor(Qt::red));
        button.setEnabled(false);
        QCOMPARE(button.grab().toImage().pixelColor(16, 16), QColor(Qt::blue));
    }

    void toolButtonWithoutImagePaintsTheStandardFace()
    {
        ToolButton button;
        button.setText(QStringLiteral("Find"));
        button.show();
        QVERIFY(QTest::qWaitForWindowExposed(&button));
        QVERIFY(!button.grab().isNull());
        QSignalSpy clicked(&button, &QToolButton::clicked);
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(clicked.count(), 1);
    }

    void styleWidensScrollBarsAndDropsFocusRectangles()
    {
        TulvarMidiStyle style;
        QCOMPARE(style.pixelMetric(QStyle::PM_ScrollBarExtent), 18);
        QCOMPARE(style.pixelMetric(QStyle::PM_ButtonMargin), style.baseStyle()->pixelMetric(QStyle::PM_ButtonMargin));

        QImage image(40, 40, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QImage const untouched = image;
        QPainter painter(&image);
        QStyleOptionFocusRect option;
        option.rect = QRect(2, 2, 36, 36);
        option.state = QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange;
        style.drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter);
        painter.end();
        QCOMPARE(image, untouched);
    }
};

QTEST_MAIN(tst_ToolButtonAndStyle)
#include "tst_ToolButtonAndStyle.moc"
