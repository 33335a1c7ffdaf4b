#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>

// Bytes gathered before a write to a stream. A writer asks for room, writes
// through the pointer and commits the end, so no byte is cleared or checked
// one at a time.
class TWriteBlock {
public:
    // At least size bytes of room after the committed ones; valid until the
    // next call that makes room.
    char* Room(std::size_t size)
    {
        if (!m_data || m_capacity - m_size < size)
            Grow(size);
        return m_data.get() + m_size;
    }
    // Takes the bytes up to end, which lies in the room last given.
    void Commit(const char* end) { m_size = static_cast<std::size_t>(end - m_data.get()); }

    void Append(char c)
    {
        *Room(1) = c;
        ++m_size;
    }
    void Append(std::string_view text)
    {
        std::memcpy(Room(text.size()), text.data(), text.size());
        m_size += text.size();
    }

    std::size_t Size() const { return m_size; }
    // Drops the bytes after the first size.
    void Shrink(std::size_t size) { m_size = std::min(size, m_size); }
    void Clear() { m_size = 0; }
    std::string_view View() const { return {m_data.get(), m_size}; }

private:
    void Grow(std::size_t size)
    {
        constexpr std::size_t First = 64 * 1024;
        const std::size_t capacity = std::max({First, 2 * m_capacity, m_size + size});
        auto data = std::make_unique_for_overwrite<char[]>(capacity);
        if (m_size > 0)
            std::memcpy(data.get(), m_data.get(), m_size);
        m_data = std::move(data);
        m_capacity = capacity;
    }

    std::unique_ptr<char[]> m_data;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
};
