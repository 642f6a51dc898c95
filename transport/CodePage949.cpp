#include "CodePage949.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace transport {
namespace {

// One converter per thread and direction; iconv descriptors are not thread-safe.
class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter()
    {
        if (ok())
            iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool ok() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts all of in; an unconvertible input sequence is replaced by
    // `replacement` and conversion goes on after it (skip(byte) tells its length).
    QByteArray run(const QByteArray& in, size_t (*skip)(unsigned char), const QByteArray& replacement)
    {
        QByteArray out;
        out.reserve(in.size() * 2 + 16);
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr); // reset the shift state
        char* src = const_cast<char*>(in.constData());
        size_t srcLeft = static_cast<size_t>(in.size());
        char buffer[4096];
        while (srcLeft > 0) {
            char* dst = buffer;
            size_t dstLeft = sizeof buffer;
            size_t rc = iconv(m_cd, &src, &srcLeft, &dst, &dstLeft);
            out.append(buffer, static_cast<qsizetype>(dst - buffer));
            if (rc != static_cast<size_t>(-1))
                continue;
            if (errno == E2BIG)
                continue;
            // EILSEQ: a bad sequence; EINVAL: an incomplete one at the end.
            out.append(replacement);
            size_t step = errno == EINVAL ? srcLeft : std::min(srcLeft, skip(static_cast<unsigned char>(*src)));
            src += step;
            srcLeft -= step;
        }
        char* dst = buffer;
        size_t dstLeft = sizeof buffer;
        iconv(m_cd, nullptr, nullptr, &dst, &dstLeft);
        out.append(buffer, static_cast<qsizetype>(dst - buffer));
        return out;
    }

private:
    iconv_t m_cd;
};

// Length of the UTF-8 sequence that starts with lead (Qt's toUtf8 output is well formed).
size_t utf8SequenceLength(unsigned char lead)
{
    if (lead >= 0xF0)
        return 4;
    if (lead >= 0xE0)
        return 3;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

size_t oneByte(unsigned char)
{
    return 1;
}

} // namespace

QByteArray toCp949(const QString& text)
{
    if (text.isEmpty())
        return {};
    thread_local Converter conv("CP949", "UTF-8");
    const QByteArray utf8 = text.toUtf8();
    if (!conv.ok())
        return utf8;
    return conv.run(utf8, utf8SequenceLength, QByteArrayLiteral("?"));
}

QString fromCp949(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return {};
    thread_local Converter conv("UTF-8", "CP949");
    if (!conv.ok())
        return QString::fromUtf8(bytes);
    return QString::fromUtf8(conv.run(bytes, oneByte, QByteArrayLiteral("\xEF\xBF\xBD")));
}

} // namespace transport
