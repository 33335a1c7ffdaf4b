#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The byte stream a format reads from or writes to.
class TStream {
public:
    virtual ~TStream() = default;
    // Reads up to size bytes; 0 at the end.
    virtual std::size_t Read(char* buffer, std::size_t size) = 0;
    // Writes all bytes or raises EWriteError.
    virtual void Write(std::string_view bytes) = 0;
    // About how many bytes are left to read, so that a reader taking them
    // all can make room once; 0 when the stream cannot tell.
    virtual std::size_t SizeHint() const { return 0; }
};

// A stream over bytes in memory: tables are written into one before the file
// is replaced in one step, and tests and fuzzers read from one.
class TStringStream : public TStream {
public:
    TStringStream() = default;
    explicit TStringStream(std::string bytes) : m_bytes(std::move(bytes)) { }

    std::size_t Read(char* buffer, std::size_t size) override;
    void Write(std::string_view bytes) override;
    std::size_t SizeHint() const override;

    const std::string& Bytes() const;
    std::string TakeBytes();

private:
    // Writes are kept as they come and joined once, at their exact size, when
    // the bytes are asked for: appending to one string would copy them again
    // each time it grows.
    void Join() const;

    mutable std::string m_bytes;
    mutable std::vector<std::string> m_written;
    mutable std::size_t m_writtenSize = 0;
    std::size_t m_readPos = 0;
};
