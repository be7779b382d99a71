#include "RawMidiDevice.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {
constexpr int PollStepMs = 50;
}

RawMidiDevice::RawMidiDevice(const QString& path)
{
    m_fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    // The device takes bytes in only once someone reads: what comes before is dropped.
    char none;
    if (m_fd >= 0 && ::read(m_fd, &none, 0) < 0 && errno != EAGAIN) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (m_fd >= 0) {
        startReading();
    }
}

RawMidiDevice::~RawMidiDevice()
{
    stopReading();
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

bool RawMidiDevice::write(const QByteArray& bytes)
{
    int offset = 0;
    while (offset < bytes.size()) {
        const ssize_t written = ::write(m_fd, bytes.constData() + offset, std::size_t(bytes.size() - offset));
        if (written > 0) {
            offset += int(written);
            continue;
        }
        if (written < 0 && errno != EAGAIN) {
            return false;
        }
        pollfd descriptor{m_fd, POLLOUT, 0};
        poll(&descriptor, 1, PollStepMs);
    }
    return true;
}

void RawMidiDevice::readSome()
{
    char buffer[4096];
    pollfd descriptor{m_fd, POLLIN, 0};
    const ssize_t count = poll(&descriptor, 1, PollStepMs) > 0 ? ::read(m_fd, buffer, sizeof buffer) : 0;
    if (count > 0) {
        keep(buffer, int(count));
    }
}
