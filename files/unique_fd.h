#pragma once

#include <utility>

#include <unistd.h>

// Owns one file descriptor.
class TUniqueFd {
public:
    TUniqueFd() = default;
    explicit TUniqueFd(int fd) : m_fd(fd) { }
    ~TUniqueFd() { Close(); }
    TUniqueFd(TUniqueFd&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) { }
    TUniqueFd& operator=(TUniqueFd&& other) noexcept
    {
        if (this != &other) {
            Close();
            m_fd = std::exchange(other.m_fd, -1);
        }
        return *this;
    }
    TUniqueFd(const TUniqueFd&) = delete;
    TUniqueFd& operator=(const TUniqueFd&) = delete;

    int Get() const { return m_fd; }
    explicit operator bool() const { return m_fd >= 0; }

    // close() can report a write error that surfaced late, so callers that
    // wrote through the descriptor check this result.
    bool Close()
    {
        const int fd = std::exchange(m_fd, -1);
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int m_fd = -1;
};
