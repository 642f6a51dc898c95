#pragma once
// The record form the structured fuzz targets read their input in, and the
// writer the seed generator uses for it. A record is one operation byte and a
// chunk: a two-byte big-endian length and that many bytes (clipped to what is
// left, so a mutated length never reads past the input).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace fuzz {

class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : p_(data), n_(size) {}

    bool empty() const { return n_ == 0; }
    std::size_t left() const { return n_; }

    std::uint8_t byte()
    {
        if (n_ == 0)
            return 0;
        --n_;
        return *p_++;
    }

    std::string_view chunk()
    {
        std::size_t len = std::size_t{byte()} << 8;
        len |= byte();
        if (len > n_)
            len = n_;
        return take(len);
    }

    std::string_view rest() { return take(n_); }

private:
    std::string_view take(std::size_t len)
    {
        const std::string_view v(reinterpret_cast<const char*>(p_), len);
        p_ += len;
        n_ -= len;
        return v;
    }

    const std::uint8_t* p_;
    std::size_t n_;
};

inline std::string record(std::uint8_t op, std::string_view chunk)
{
    std::string s;
    s.push_back(static_cast<char>(op));
    s.push_back(static_cast<char>((chunk.size() >> 8) & 0xff));
    s.push_back(static_cast<char>(chunk.size() & 0xff));
    s.append(chunk.substr(0, 0xffff));
    return s;
}

// A broken promise of the code under test: abort, so that both libFuzzer and
// the replay test report the input.
[[noreturn]] inline void fail(const char* what)
{
    std::fputs("fuzz invariant broken: ", stderr);
    std::fputs(what, stderr);
    std::fputs("\n", stderr);
    std::abort();
}

inline void check(bool ok, const char* what)
{
    if (!ok)
        fail(what);
}

} // namespace fuzz
