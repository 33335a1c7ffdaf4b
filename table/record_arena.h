#pragma once

#include <cstddef>
#include <memory>
#include <vector>

// Memory for the records read from a file, taken from the system in large
// pieces and given back all at once with them: a table of many records so
// needs few allocations. A record removed earlier leaves its bytes here until
// then.
class TRecordArena {
public:
    // size bytes aligned to eight, valid as long as the arena.
    std::byte* Allocate(std::size_t size);

private:
    static constexpr std::size_t PieceSize = 64 * 1024;

    std::vector<std::unique_ptr<std::byte[]>> m_pieces;
    std::byte* m_next = nullptr;
    std::size_t m_left = 0;
};
