// Reading a fuzzer's bytes as arguments, and caller buffers with guard bytes
// after them that are checked after every call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool Empty() const { return at_ >= size_; }
    uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    uint16_t Word() { return static_cast<uint16_t>(Byte() | (Byte() << 8)); }
    uint32_t Long() { return static_cast<uint32_t>(Word()) | (static_cast<uint32_t>(Word()) << 16); }
    bool Flag() { return Byte() & 1; }
    // A size for a caller buffer, 0 to limit.
    size_t Size(size_t limit) { return Word() % (limit + 1); }
    // A zero-terminated text up to the next zero byte (or the end).
    std::string Text()
    {
        std::string text;
        while (at_ < size_ && data_[at_] != 0) text += static_cast<char>(data_[at_++]);
        if (at_ < size_) ++at_;
        return text;
    }
    // The next count bytes, zero bytes included; fewer at the end.
    std::string Bytes(size_t count)
    {
        const size_t n = count < size_ - at_ ? count : size_ - at_;
        std::string bytes(reinterpret_cast<const char*>(data_ + at_), n);
        at_ += n;
        return bytes;
    }
    // Everything not yet read, zero bytes included.
    std::string Rest()
    {
        std::string rest(reinterpret_cast<const char*>(data_ + at_), size_ - at_);
        at_ = size_;
        return rest;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

// A caller buffer of exactly size bytes, filled with a pattern, followed by
// guard bytes; Check() stops the run when a call wrote past the size.
class GuardedBuffer {
public:
    static constexpr size_t kGuard = 32;
    static constexpr char kFill = '\x5A';
    static constexpr char kGuardByte = '\xA5';

    // Filled with the pattern, no terminator.
    explicit GuardedBuffer(size_t size) : size_(size), bytes_(size + kGuard, kGuardByte)
    {
        std::memset(bytes_.data(), kFill, size);
    }
    // Holding as much of start as fits, terminated.
    GuardedBuffer(size_t size, const std::string& start) : GuardedBuffer(size)
    {
        if (size > 0) {
            size_t n = start.size() < size - 1 ? start.size() : size - 1;
            std::memcpy(bytes_.data(), start.data(), n);
            bytes_[n] = '\0';
        }
    }
    char* Data() { return bytes_.data(); }
    size_t Size() const { return size_; }
    int IntSize() const { return static_cast<int>(size_); }
    // The buffer's text, which must be terminated inside the buffer.
    std::string Text(const char* what)
    {
        Check(what);
        const void* end = std::memchr(bytes_.data(), 0, size_);
        if (!end) Fail(what, "left its buffer unterminated");
        return std::string(bytes_.data());
    }
    void Check(const char* what) const
    {
        for (size_t i = size_; i < bytes_.size(); ++i)
            if (bytes_[i] != kGuardByte) Fail(what, "wrote past its buffer");
    }

private:
    static void Fail(const char* what, const char* how)
    {
        std::fprintf(stderr, "%s %s\n", what, how);
        std::abort();
    }

    size_t size_;
    std::vector<char> bytes_;
};

// Stops the run with a message when a property does not hold.
inline void Expect(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "property failed: %s\n", what);
        std::abort();
    }
}
