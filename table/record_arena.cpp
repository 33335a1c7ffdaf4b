#include "table/record_arena.h"

std::byte* TRecordArena::Allocate(std::size_t size)
{
    size = (size + 7) & ~std::size_t{7};
    if (size > m_left) {
        // A large block gets a piece of its own, so the current piece's
        // room is not wasted.
        if (size > PieceSize / 4) {
            m_pieces.push_back(std::make_unique_for_overwrite<std::byte[]>(size));
            return m_pieces.back().get();
        }
        m_pieces.push_back(std::make_unique_for_overwrite<std::byte[]>(PieceSize));
        m_next = m_pieces.back().get();
        m_left = PieceSize;
    }
    std::byte* const block = m_next;
    m_next += size;
    m_left -= size;
    return block;
}
