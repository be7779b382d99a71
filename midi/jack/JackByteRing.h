#pragma once

#include <atomic>
#include <cstddef>
#include <vector>

// A single-producer, single-consumer byte ring that never locks and never allocates after
// construction, so that JACK's process callback can be either of its two sides. A record is
// published only when it has been written whole; the consumer may read a record piece by piece
// (peek at any offset) before it consumes it.
class JackByteRing {
public:
    // The capacity is rounded up to a power of two.
    explicit JackByteRing(std::size_t capacity);

    std::size_t capacity() const;

    // Producer side.
    std::size_t writeSpace() const;
    // Writes head followed by body as one record; false (and nothing written) without room.
    bool write(const void* head, std::size_t headSize, const void* body, std::size_t bodySize);

    // Consumer side.
    std::size_t readSpace() const;
    void peek(std::size_t offset, void* destination, std::size_t size) const;
    void consume(std::size_t size);

    // Empties the ring; only while neither side is running.
    void reset();

private:
    void copyIn(std::size_t position, const void* source, std::size_t size);

    std::vector<unsigned char> m_bytes;
    std::size_t m_mask;
    // Free-running counts of bytes written and read; their difference is the fill level.
    std::atomic<std::size_t> m_written{0};
    std::atomic<std::size_t> m_read{0};
};
