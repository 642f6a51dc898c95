#include "Cp949.h"

#include <cerrno>
#include <iconv.h>
#include <vector>

namespace reftext {
namespace {

// One iconv conversion over the whole input. `onBad` is called for an input
// position that cannot be converted and returns how many input bytes to skip
// after writing its replacement into the output.
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

    template <typename OnBad>
    QByteArray run(const char* data, size_t size, OnBad onBad)
    {
        QByteArray out;
        std::vector<char> chunk(4096);
        char* in = const_cast<char*>(data);
        size_t inLeft = size;
        while (inLeft > 0) {
            char* outPtr = chunk.data();
            size_t outLeft = chunk.size();
            size_t r = iconv(cd_, &in, &inLeft, &outPtr, &outLeft);
            out.append(chunk.data(), static_cast<qsizetype>(chunk.size() - outLeft));
            if (r != static_cast<size_t>(-1))
                continue;
            if (errno == E2BIG)
                continue;
            // EILSEQ or EINVAL (truncated sequence at the end): replace and skip.
            size_t skip = onBad(out, in, inLeft);
            in += skip;
            inLeft -= skip;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        return out;
    }

private:
    iconv_t cd_;
};

} // namespace

QString fromCp949(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return {};
    Converter conv("UTF-16LE", "CP949");
    if (!conv.ok())
        return {};
    QByteArray utf16 = conv.run(bytes.constData(), static_cast<size_t>(bytes.size()),
                                [](QByteArray& out, const char*, size_t) -> size_t {
                                    out.append("\xFD\xFF", 2); // U+FFFD little-endian
                                    return 1;
                                });
    return QString(reinterpret_cast<const QChar*>(utf16.constData()), utf16.size() / 2);
}

QByteArray toCp949(const QString& text)
{
    if (text.isEmpty())
        return {};
    Converter conv("CP949", "UTF-16LE");
    if (!conv.ok())
        return {};
    const char* data = reinterpret_cast<const char*>(text.utf16());
    return conv.run(data, static_cast<size_t>(text.size()) * 2,
                    [](QByteArray& out, const char* at, size_t left) -> size_t {
                        out.append('?');
                        // Skip one UTF-16 unit, or a whole surrogate pair.
                        if (left >= 4) {
                            const auto hi = static_cast<unsigned char>(at[1]);
                            if (hi >= 0xD8 && hi <= 0xDB)
                                return 4;
                        }
                        return left >= 2 ? 2 : left;
                    });
}

} // namespace reftext
