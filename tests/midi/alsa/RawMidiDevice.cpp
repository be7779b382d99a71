#include "RawMidiDevice.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {
constexpr int PollStepMs = 50;
constexpr auto ArrivalLimit = std::chrono::seconds(30);
}

RawMidiDevice::RawMidiDevice(const QString& path)
{
    m_fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (m_fd >= 0) {
        // The device takes bytes in only once someone reads: what comes before is dropped.
        char none;
        if (::read(m_fd, &none, 0) < 0 && errno != EAGAIN) {
            ::close(m_fd);
            m_fd = -1;
            return;
        }
        m_reader = std::thread([this] { readLoop(); });
    }
}

RawMidiDevice::~RawMidiDevice()
{
    m_stop = true;
    if (m_reader.joinable()) {
        m_reader.join();
    }
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

bool RawMidiDevice::waitForBytes(int count)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_arrived.wait_for(lock, ArrivalLimit, [&] { return m_received.size() >= count; });
}

QByteArray RawMidiDevice::received()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_received;
}

void RawMidiDevice::readLoop()
{
    char buffer[4096];
    while (!m_stop) {
        pollfd descriptor{m_fd, POLLIN, 0};
        if (poll(&descriptor, 1, PollStepMs) <= 0) {
            continue;
        }
        const ssize_t count = ::read(m_fd, buffer, sizeof buffer);
        if (count > 0) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_received.append(buffer, int(count));
            m_arrived.notify_all();
        }
    }
}
