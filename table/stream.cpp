#include "table/stream.h"

#include <algorithm>
#include <cstring>

std::size_t TStringStream::Read(char* buffer, std::size_t size)
{
    Join();
    const std::size_t n = std::min(size, m_bytes.size() - m_readPos);
    std::memcpy(buffer, m_bytes.data() + m_readPos, n);
    m_readPos += n;
    return n;
}

std::size_t TStringStream::SizeHint() const
{
    Join();
    return m_bytes.size() - m_readPos;
}

void TStringStream::Write(std::string_view bytes)
{
    if (bytes.empty())
        return;
    m_written.emplace_back(bytes);
    m_writtenSize += bytes.size();
}

const std::string& TStringStream::Bytes() const
{
    Join();
    return m_bytes;
}

std::string TStringStream::TakeBytes()
{
    Join();
    return std::move(m_bytes);
}

void TStringStream::Join() const
{
    if (m_written.empty())
        return;
    m_bytes.reserve(m_bytes.size() + m_writtenSize);
    for (const std::string& bytes : m_written)
        m_bytes += bytes;
    m_written.clear();
    m_writtenSize = 0;
}
