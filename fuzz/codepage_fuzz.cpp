// Code page 949 conversions on hostile bytes, both directions and both faces
// (the Qt-free core bankd uses and the QString face of the client).
#include <QByteArray>
#include <QString>

#include <cstdint>
#include <string_view>

#include "CodePage949.h"
#include "CodePage949Qt.h"
#include "FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    // Code page 949 in: the result is always well-formed UTF-8, and the strict
    // form agrees with the lenient one whenever it succeeds.
    const std::string utf8 = cp949::toUtf8(bytes);
    fuzz::check(cp949::isValidUtf8(utf8), "toUtf8 gave malformed UTF-8");
    if (const auto strict = cp949::toUtf8Strict(bytes))
        fuzz::check(*strict == utf8, "toUtf8Strict differs from toUtf8");

    // UTF-8 in: the result is always valid code page 949.
    const std::string encoded = cp949::fromUtf8(bytes);
    fuzz::check(cp949::toUtf8Strict(encoded).has_value(), "fromUtf8 gave invalid code page 949");
    // Well-formed UTF-8 that needed no replacement comes back unchanged.
    if (cp949::isValidUtf8(bytes) && encoded.find('?') == std::string::npos && bytes.find('?') == std::string_view::npos)
        fuzz::check(cp949::toUtf8(encoded) == bytes, "UTF-8 did not survive a round trip");

    // The QString face.
    const QByteArray raw(bytes.data(), static_cast<qsizetype>(bytes.size()));
    const QString decoded = cp949::decode(raw);
    fuzz::check(decoded == QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())),
                "decode differs from toUtf8");
    const QByteArray back = cp949::encode(QString::fromUtf8(raw));
    fuzz::check(cp949::toUtf8Strict(std::string_view(back.constData(), static_cast<std::size_t>(back.size())))
                    .has_value(),
                "encode gave invalid code page 949");
    return 0;
}
