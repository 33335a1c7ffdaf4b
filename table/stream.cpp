#include "table/stream.h"

#include <algorithm>
#include <cstring>

std::size_t TStringStream::Read(char* buffer, std::size_t size)
{
    const std::size_t n = std::min(size, m_bytes.size() - m_readPos);
    std::memcpy(buffer, m_bytes.data() + m_readPos, n);
    m_readPos += n;
    return n;
}

void TStringStream::Write(std::string_view bytes)
{
    m_bytes.append(bytes);
}
