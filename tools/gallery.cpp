// Every custom widget of the kit in one window, set up the way the tool views set them up, for
// looking at them side by side.
//
//   gallery                   show the window
//   gallery --screenshot F    save the window to the PNG file F and quit (run it with
//                             QT_SCALE_FACTOR=2 for a double-resolution picture)

#include "support/ImageResources.h"
#include "support/LookConstants.h"
#include "widgets/Dial.h"
#include "widgets/MidiLedCombinedDial.h"
#include "widgets/MidiPitchbendSlider.h"
#include "widgets/MidiTimingClockPlayStopButton.h"
#include "widgets/MidiTransportPanelPlayStopButton.h"
#include "widgets/PressureKeyboard.h"
#include "widgets/SevenSegment.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdio>

namespace {

const QSize KnobSize(100, 100);

QWidget* captioned(QString const& caption, QWidget* widget)
{
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    auto* label = new QLabel(caption);
    label->setAlignment(Qt::AlignHCenter);
    layout->addWidget(label);
    layout->addWidget(widget, 0, Qt::AlignHCenter);
    layout->addStretch();
    return box;
}

void setUpKnob(Dial* dial, int minimum, int maximum, int value, QString const& suffix)
{
    dial->setFixedSize(KnobSize);
    dial->setRange(minimum, maximum);
    dial->setResetValue(value);
    dial->setValue(value);
    dial->setValueSuffix(suffix);
    dial->setLineEditSize(LineEditSize);
    dial->setArcMargins(ArcMargin);
    dial->setArcColors(StartGradientColorOfKnobMeter, EndGradientColorOfKnobMeter);
}

QWidget* makeKnobRow(QWidget* parent)
{
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);

    auto* controlChange = new Dial;
    setUpKnob(controlChange, 0, 127, 64, QString());
    layout->addWidget(captioned(QStringLiteral("Dial"), controlChange));

    auto* tempo = new MidiLedCombinedDial;
    setUpKnob(tempo, 5, 300, 120, QStringLiteral(" BPM"));
    tempo->setLedOnColor(TempoLedOnColor);
    tempo->setLedOffColor(TempoLedOffColor);
    auto* beat = new QTimer(tempo);
    QObject::connect(beat, &QTimer::timeout, tempo, &MidiLedCombinedDial::ledOn);
    beat->start(500);
    layout->addWidget(captioned(QStringLiteral("MidiLedCombinedDial (beat)"), tempo));

    auto* activeSensing = new MidiLedCombinedDial;
    setUpKnob(activeSensing, 100, 1000, 270, QStringLiteral(" ms"));
    activeSensing->setAutoOff(false);
    activeSensing->setLedOnColor(ActivesenseLedOnColor);
    activeSensing->setLedOffColor(ActivesenseLedOffColor);
    activeSensing->setLedOn(true);
    layout->addWidget(captioned(QStringLiteral("MidiLedCombinedDial (lit)"), activeSensing));

    auto* linear = new Dial;
    setUpKnob(linear, 0, 16383, 8192, QString());
    linear->setKnobMode(Dial::LinearKnobMode);
    layout->addWidget(captioned(QStringLiteral("Dial (linear)"), linear));
    layout->addStretch();
    return row;
}

QWidget* makeControlRow(QWidget* parent)
{
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);

    auto* program = new SevenSegment;
    program->setFixedSize(128, 48);
    program->setMinimum(1);
    program->setMaximum(128);
    program->setResetValue(1);
    program->setValue(7);
    program->setDigitPixmap(loadImage(Images::SevenSegment));
    program->setIncreaseButtonGeometry(QRect(114, 0, 14, 24));
    program->setIncreaseButtonPixmap(loadImage(Images::UpArrowButton));
    program->setDecreaseButtonGeometry(QRect(114, 24, 14, 24));
    program->setDecreaseButtonPixmap(loadImage(Images::DownArrowButton));
    layout->addWidget(captioned(QStringLiteral("SevenSegment"), program));

    auto* wheel = new MidiPitchbendSlider;
    wheel->setFixedSize(43, 161);
    QPalette black = wheel->palette();
    black.setColor(QPalette::Window, Qt::black);
    wheel->setPalette(black);
    wheel->setWheelMode(MidiPitchbendSlider::Hold);
    wheel->setValue(96);
    layout->addWidget(captioned(QStringLiteral("MidiPitchbendSlider"), wheel));

    auto* play = new MidiTimingClockPlayStopButton;
    play->setAutoFillBackground(true);
    play->setCheckable(true);
    play->setFrameSize(15, 15);
    play->setPixmap(loadImage(Images::PlayStop));
    play->setFixedSize(60, 34);
    auto* playing = new MidiTimingClockPlayStopButton;
    playing->setAutoFillBackground(true);
    playing->setCheckable(true);
    playing->setChecked(true);
    playing->setFrameSize(15, 15);
    playing->setPixmap(loadImage(Images::PlayStop));
    playing->setFixedSize(60, 34);
    auto* clockButtons = new QWidget;
    auto* clockLayout = new QHBoxLayout(clockButtons);
    clockLayout->addWidget(play);
    clockLayout->addWidget(playing);
    layout->addWidget(captioned(QStringLiteral("MidiTimingClockPlayStopButton"), clockButtons));

    auto* transport = new QWidget;
    auto* transportLayout = new QHBoxLayout(transport);
    for (QString const& image : {Images::Stop, Images::Continue, Images::Play}) {
        auto* button = new MidiTransportPanelPlayStopButton;
        button->setFixedSize(60, 34);
        button->setPixmap(loadImage(image));
        button->setImagePosition(15, 15);
        button->setCenterOnShow(true);
        transportLayout->addWidget(button);
    }
    layout->addWidget(captioned(QStringLiteral("MidiTransportPanelPlayStopButton"), transport));
    layout->addStretch();
    return row;
}

QWidget* makeKeyboard(QWidget* parent)
{
    auto* scrollArea = new QScrollArea(parent);
    scrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scrollArea->setFixedHeight(121);
    auto* keyboard = new PressureKeyboard(nullptr, QSizeF(25.0, 100.0));
    keyboard->setGeometry(0, 0, 1875, 101);
    keyboard->onColor = KeyboardOnColor;
    keyboard->setMiddleCOffset(1);
    for (unsigned char note : {60, 64, 67, 70})
        keyboard->noteOn(note);
    scrollArea->setWidget(keyboard);
    scrollArea->horizontalScrollBar()->setValue(700);
    return captioned(QStringLiteral("PressureKeyboard"), scrollArea);
}

} // namespace

int main(int argc, char* argv[])
{
    registerImageResources();
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    QCommandLineOption screenshot(QStringLiteral("screenshot"), QStringLiteral("Save the window to <file>."),
                                  QStringLiteral("file"));
    parser.addOption(screenshot);
    parser.process(app);

    QWidget window;
    window.setWindowTitle(QStringLiteral("Tulvar MIDI widget gallery"));
    window.setFont(TulvarMidiFont.font());
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(makeKnobRow(&window));
    layout->addWidget(makeControlRow(&window));
    auto* keyboard = makeKeyboard(&window);
    keyboard->setFixedWidth(1000);
    layout->addWidget(keyboard);
    window.show();

    if (!parser.isSet(screenshot))
        return app.exec();

    QString const path = parser.value(screenshot);
    int status = 0;
    // Let the first beat flash and the buttons centre their images before taking the picture.
    QTimer::singleShot(150, &window, [&window, &path, &status] {
        if (!window.grab().save(path)) {
            std::fprintf(stderr, "gallery: cannot write %s\n", qPrintable(path));
            status = 1;
        }
        QApplication::quit();
    });
    app.exec();
    return status;
}
