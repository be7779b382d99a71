#include "midi/jack/JackByteRing.h"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace {
std::size_t roundUpToPowerOfTwo(std::size_t value)
{
    std::size_t result = 1;
    while (result < value) {
        result <<= 1;
    }
    return result;
}
}

JackByteRing::JackByteRing(std::size_t capacity)
    : m_bytes(roundUpToPowerOfTwo(capacity), 0)
    , m_mask(m_bytes.size() - 1)
{
}

std::size_t JackByteRing::capacity() const
{
    return m_bytes.size();
}

std::size_t JackByteRing::writeSpace() const
{
    return m_bytes.size() - (m_written.load(std::memory_order_relaxed) - m_read.load(std::memory_order_acquire));
}

bool JackByteRing::write(const void* head, std::size_t headSize, const void* body, std::size_t bodySize)
{
    if (writeSpace() < headSize + bodySize) {
        return false;
    }
    const std::size_t position = m_written.load(std::memory_order_relaxed);
    copyIn(position, head, headSize);
    copyIn(position + headSize, body, bodySize);
    m_written.store(position + headSize + bodySize, std::memory_order_release);
    return true;
}

std::size_t JackByteRing::readSpace() const
{
    return m_written.load(std::memory_order_acquire) - m_read.load(std::memory_order_relaxed);
}

void JackByteRing::peek(std::size_t offset, void* destination, std::size_t size) const
{
    assert(offset + size <= readSpace());
    const std::size_t start = (m_read.load(std::memory_order_relaxed) + offset) & m_mask;
    const std::size_t first = std::min(size, m_bytes.size() - start);
    auto* out = static_cast<unsigned char*>(destination);
    std::memcpy(out, m_bytes.data() + start, first);
    std::memcpy(out + first, m_bytes.data(), size - first);
}

void JackByteRing::consume(std::size_t size)
{
    assert(size <= readSpace());
    m_read.store(m_read.load(std::memory_order_relaxed) + size, std::memory_order_release);
}

void JackByteRing::reset()
{
    m_read.store(m_written.load(std::memory_order_acquire), std::memory_order_release);
}

void JackByteRing::copyIn(std::size_t position, const void* source, std::size_t size)
{
    if (size == 0) {
        return;
    }
    const std::size_t start = position & m_mask;
    const std::size_t first = std::min(size, m_bytes.size() - start);
    const auto* in = static_cast<const unsigned char*>(source);
    std::memcpy(m_bytes.data() + start, in, first);
    std::memcpy(m_bytes.data(), in + first, size - first);
}
