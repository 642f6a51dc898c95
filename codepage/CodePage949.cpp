#include "CodePage949.h"

#include <cerrno>
#include <iconv.h>

namespace cp949 {
namespace {

constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD"; // U+FFFD

// Length of the well-formed UTF-8 sequence at s[p], or 0 when there is none.
size_t utf8SequenceLength(std::string_view s, size_t p)
{
    const auto lead = static_cast<unsigned char>(s[p]);
    size_t n;
    unsigned min;
    unsigned cp;
    if (lead < 0x80)
        return 1;
    if ((lead & 0xE0) == 0xC0) {
        n = 2;
        min = 0x80;
        cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        n = 3;
        min = 0x800;
        cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        n = 4;
        min = 0x10000;
        cp = lead & 0x07;
    } else {
        return 0;
    }
    if (p + n > s.size())
        return 0;
    for (size_t i = 1; i < n; ++i) {
        const auto c = static_cast<unsigned char>(s[p + i]);
        if ((c & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (c & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return n;
}

bool isAscii(std::string_view s)
{
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

// One iconv descriptor. Descriptors keep state between calls and may not be
// shared by threads, so each thread holds its own (see converter()).
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter()
    {
        if (ok())
            iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts `in` into `out`. At a position iconv cannot convert, `onBad`
    // (given the rest of the input) appends a replacement to `out` and returns
    // how many bytes to skip (at least one), or 0 to give up: run() is then false.
    template <typename OnBad>
    bool run(std::string_view in, std::string& out, OnBad onBad)
    {
        out.reserve(out.size() + in.size() * 3 / 2 + 8);
        if (!ok())
            return convertAsciiOnly(in, out, onBad);
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        char buffer[4096];
        while (srcLeft > 0) {
            char* dst = buffer;
            size_t dstLeft = sizeof buffer;
            const size_t rc = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            const int error = errno;
            out.append(buffer, static_cast<size_t>(dst - buffer));
            if (rc != static_cast<size_t>(-1) || error == E2BIG)
                continue;
            // EILSEQ (not convertible) or EINVAL (cut off at the end).
            const size_t skip = onBad(std::string_view(src, srcLeft), out);
            if (skip == 0)
                return false;
            src += std::min(skip, srcLeft);
            srcLeft -= std::min(skip, srcLeft);
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        return true;
    }

private:
    // Without the code page (no gconv module) ASCII still passes, the rest is bad.
    template <typename OnBad>
    static bool convertAsciiOnly(std::string_view in, std::string& out, OnBad onBad)
    {
        for (size_t p = 0; p < in.size();) {
            if (static_cast<unsigned char>(in[p]) < 0x80) {
                out.push_back(in[p++]);
                continue;
            }
            const size_t skip = onBad(in.substr(p), out);
            if (skip == 0)
                return false;
            p += skip;
        }
        return true;
    }

    iconv_t cd_;
};

Converter& toCodePage()
{
    thread_local Converter conv("CP949", "UTF-8");
    return conv;
}

Converter& fromCodePage()
{
    thread_local Converter conv("UTF-8", "CP949");
    return conv;
}

} // namespace

bool isValidUtf8(std::string_view text)
{
    for (size_t p = 0; p < text.size();) {
        const size_t n = utf8SequenceLength(text, p);
        if (n == 0)
            return false;
        p += n;
    }
    return true;
}

std::string fromUtf8(std::string_view utf8)
{
    if (isAscii(utf8))
        return std::string(utf8);
    std::string out;
    toCodePage().run(utf8, out, [](std::string_view rest, std::string& o) -> size_t {
        o.push_back('?');
        // A whole character the code page lacks, or one byte that is not UTF-8.
        const size_t n = utf8SequenceLength(rest, 0);
        return n > 0 ? n : 1;
    });
    return out;
}

std::string toUtf8(std::string_view bytes)
{
    if (isAscii(bytes))
        return std::string(bytes);
    std::string out;
    fromCodePage().run(bytes, out, [](std::string_view, std::string& o) -> size_t {
        // One byte only: the byte after a bad lead byte may start a character.
        o.append(kReplacementUtf8);
        return 1;
    });
    return out;
}

std::optional<std::string> toUtf8Strict(std::string_view bytes)
{
    if (isAscii(bytes))
        return std::string(bytes);
    std::string out;
    if (!fromCodePage().run(bytes, out, [](std::string_view, std::string&) -> size_t { return 0; }))
        return std::nullopt;
    return out;
}

} // namespace cp949
