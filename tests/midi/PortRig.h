#pragma once

#include "ReceivedRecorder.h"
#include "midi/MidiInputPort.h"
#include "midi/MidiOutputPort.h"
#include "testkit/FaultInjectingMidiService.h"
#include "testkit/Hex.h"

#include <memory>

constexpr std::uint64_t NanosPerMs = 1000000;

// The decorated Loopback service with one client, an input port (group 1, recorded) and an output port
// (group 0) sharing one time base, torn down in the main window's order.
struct PortRig {
    explicit PortRig(unsigned long long hostTimeAtStart = 0, unsigned int timeOfDayAtStart = 0)
        : service(std::make_unique<FaultInjectingMidiService>()),
          client(std::make_unique<MidiClient>(*service)),
          input(std::make_unique<MidiInputPort>(client.get(), MaxMidiMessageLength, 1, hostTimeAtStart,
                                                timeOfDayAtStart)),
          output(std::make_unique<MidiOutputPort>(client.get(), MaxMidiMessageLength, 0, hostTimeAtStart,
                                                  timeOfDayAtStart))
    {
        input->setReceivedMidiCallbackFunc(&ReceivedRecorder::callback, &recorder);
    }

    ~PortRig()
    {
        input.reset();
        output.reset();
        client.reset();
        service.reset();
    }

    // Opening by index after reading the name list, as the main window does.
    int openInput(unsigned int index)
    {
        input->getInputPortNameList();
        return input->openInputPort(index);
    }

    int openOutput(unsigned int index)
    {
        output->getOutputPortNameList();
        return output->openOutputPort(index);
    }

    static QString nameOf(const Midi& port)
    {
        QString name;
        port.getCurrentPortName(name);
        return name;
    }

    bool inject(unsigned int source, const QByteArray& bytes, std::uint64_t hostTime = 0)
    {
        return service->injectPackets(service->getSource(source), {bytes}, hostTime);
    }

    int transmit(const QByteArray& bytes, unsigned int* timeStamp = nullptr)
    {
        return transmitOn(*output, bytes, timeStamp);
    }

    static int transmitOn(MidiOutputPort& port, const QByteArray& bytes, unsigned int* timeStamp = nullptr)
    {
        unsigned int stamp = 0;
        const int result = port.transmitMidi(reinterpret_cast<const unsigned char*>(bytes.constData()),
                                             static_cast<unsigned short>(bytes.size()), stamp);
        if (timeStamp != nullptr) {
            *timeStamp = stamp;
        }
        return result;
    }

    ReceivedRecorder recorder;
    std::unique_ptr<FaultInjectingMidiService> service;
    std::unique_ptr<MidiClient> client;
    std::unique_ptr<MidiInputPort> input;
    std::unique_ptr<MidiOutputPort> output;
};
