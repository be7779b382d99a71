#pragma once

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstring>
#include <type_traits>

// A fixed ring of elements with a write and a read index, each from 0 to size. Fields are copied
// in and out whole, wrapping to index 0 at the end of the storage; an index moves to 0 only when
// a field actually continues there, so "index == size" is a valid resting place. The ring knows
// nothing about fullness: its owner keeps the lap count that tells full from empty. Not locked.
template <typename T>
class CRingBuffer {
    static_assert(std::is_trivially_copyable<T>::value, "the ring copies its elements bytewise");

public:
    explicit CRingBuffer(std::size_t size) : m_storage(new T[size]()), m_size(size) { assert(size > 0); }
    virtual ~CRingBuffer() { delete[] m_storage; }

    CRingBuffer(const CRingBuffer&) = delete;
    CRingBuffer& operator=(const CRingBuffer&) = delete;

    std::size_t size() const { return m_size; }
    std::size_t writeIndex() const { return m_writeIndex; }
    std::size_t readIndex() const { return m_readIndex; }

    // Both return whether the field's end lies beyond the end of the storage, i.e. whether the
    // index wrapped to the start during this copy.
    bool write(const T* source, std::size_t count)
    {
        return copy(m_writeIndex, count, [this, source](std::size_t at, std::size_t offset, std::size_t n) {
            std::memcpy(m_storage + at, source + offset, n * sizeof(T));
        });
    }
    bool read(T* destination, std::size_t count)
    {
        return copy(m_readIndex, count, [this, destination](std::size_t at, std::size_t offset, std::size_t n) {
            std::memcpy(destination + offset, m_storage + at, n * sizeof(T));
        });
    }

private:
    // Copies count elements at index in at most two pieces, calling piece(storage position,
    // offset within the field, length) for each non-empty one, and moves the index on.
    template <typename Piece>
    bool copy(std::size_t& index, std::size_t count, Piece piece)
    {
        assert(count <= m_size);
        assert(index <= m_size);
        if (count == 0) {
            return false;
        }
        const bool wraps = index + count > m_size;
        const std::size_t first = std::min(count, m_size - index);
        if (first > 0) {
            piece(index, 0, first);
        }
        if (count > first) {
            piece(0, first, count - first);
        }
        index = wraps ? count - first : index + count;
        return wraps;
    }

    T* m_storage;
    std::size_t m_size;
    std::size_t m_writeIndex = 0;
    std::size_t m_readIndex = 0;
};
