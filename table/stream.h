#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

// The byte stream a format reads from or writes to.
class TStream {
public:
    virtual ~TStream() = default;
    // Reads up to size bytes; 0 at the end.
    virtual std::size_t Read(char* buffer, std::size_t size) = 0;
    // Writes all bytes or raises EWriteError.
    virtual void Write(std::string_view bytes) = 0;
};

// A stream over bytes in memory: tables are written into one before the file
// is replaced in one step, and tests and fuzzers read from one.
class TStringStream : public TStream {
public:
    TStringStream() = default;
    explicit TStringStream(std::string bytes) : m_bytes(std::move(bytes)) { }

    std::size_t Read(char* buffer, std::size_t size) override;
    void Write(std::string_view bytes) override;

    const std::string& Bytes() const { return m_bytes; }
    std::string TakeBytes() { return std::move(m_bytes); }

private:
    std::string m_bytes;
    std::size_t m_readPos = 0;
};
