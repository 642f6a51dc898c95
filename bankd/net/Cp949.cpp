#include "Cp949.h"

#include <cerrno>
#include <iconv.h>
#include <stdexcept>
#include <vector>

namespace bankd {

namespace {

class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from))
    {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
    ~Iconv() { iconv_close(cd_); }
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

// Length of the UTF-8 sequence starting at p, or 0 when it is not valid.
size_t utf8SequenceLength(std::string_view s, size_t p)
{
    auto c = static_cast<unsigned char>(s[p]);
    size_t n;
    unsigned min;
    unsigned cp;
    if (c < 0x80)
        return 1;
    if ((c & 0xE0) == 0xC0) {
        n = 2;
        min = 0x80;
        cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        n = 3;
        min = 0x800;
        cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        n = 4;
        min = 0x10000;
        cp = c & 0x07;
    } else {
        return 0;
    }
    if (p + n > s.size())
        return 0;
    for (size_t i = 1; i < n; ++i) {
        auto cc = static_cast<unsigned char>(s[p + i]);
        if ((cc & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (cc & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return n;
}

} // namespace

bool isValidUtf8(std::string_view text)
{
    for (size_t p = 0; p < text.size();) {
        size_t n = utf8SequenceLength(text, p);
        if (n == 0)
            return false;
        p += n;
    }
    return true;
}

std::string utf8ToCp949(std::string_view utf8)
{
    Iconv cv("CP949", "UTF-8");
    std::string out;
    out.reserve(utf8.size());
    char buf[8];
    for (size_t p = 0; p < utf8.size();) {
        auto c = static_cast<unsigned char>(utf8[p]);
        if (c < 0x80) {  // ASCII is the same in both
            out.push_back(static_cast<char>(c));
            ++p;
            continue;
        }
        size_t n = utf8SequenceLength(utf8, p);
        if (n == 0) {
            out.push_back('?');
            ++p;
            continue;
        }
        char* in = const_cast<char*>(utf8.data() + p);
        size_t inLeft = n;
        char* o = buf;
        size_t outLeft = sizeof buf;
        if (iconv(cv.get(), &in, &inLeft, &o, &outLeft) == static_cast<size_t>(-1)) {
            iconv(cv.get(), nullptr, nullptr, nullptr, nullptr);
            out.push_back('?');
        } else {
            out.append(buf, static_cast<size_t>(o - buf));
        }
        p += n;
    }
    return out;
}

std::optional<std::string> cp949ToUtf8(std::string_view cp949)
{
    Iconv cv("UTF-8", "CP949");
    std::string out(cp949.size() * 3 / 2 + 8, '\0');
    char* in = const_cast<char*>(cp949.data());
    size_t inLeft = cp949.size();
    char* o = out.data();
    size_t outLeft = out.size();
    while (inLeft > 0) {
        if (iconv(cv.get(), &in, &inLeft, &o, &outLeft) == static_cast<size_t>(-1)) {
            if (errno != E2BIG)
                return std::nullopt;
            size_t used = static_cast<size_t>(o - out.data());
            out.resize(out.size() * 2);
            o = out.data() + used;
            outLeft = out.size() - used;
        }
    }
    out.resize(static_cast<size_t>(o - out.data()));
    return out;
}

} // namespace bankd
