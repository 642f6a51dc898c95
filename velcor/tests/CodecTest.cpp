// The wire codec's base64 against libsodium's: the encoder at every length (all
// three padding cases) and both alphabets; the decoder accepting exactly the
// texts libsodium's strict decoder accepted before, with the same bytes out.
#include <gtest/gtest.h>

#include <sodium.h>

#include <random>
#include <string>

#include "gateway/Codec.h"

using namespace velcor;

TEST(Codec, Base64MatchesLibsodiumAtEveryLengthAndDecodesBack)
{
    ASSERT_TRUE(codec::ensureSodium());
    std::mt19937 rng(7);
    for (std::size_t size = 0; size <= 200; ++size) {
        codec::Bytes data(size);
        for (auto& b : data)
            b = static_cast<unsigned char>(rng());
        if (size % 3 == 0 && size > 0)
            data.back() = 0xff;  // the alphabet's last letters too
        for (int variant : {sodium_base64_VARIANT_ORIGINAL, sodium_base64_VARIANT_URLSAFE_NO_PADDING}) {
            std::string expected(sodium_base64_encoded_len(size, variant), '\0');
            sodium_bin2base64(expected.data(), expected.size(), data.data(), size, variant);
            expected.resize(expected.size() - 1);
            const bool url = variant == sodium_base64_VARIANT_URLSAFE_NO_PADDING;
            const std::string text = url ? codec::toBase64Url(data.data(), size) : codec::toBase64(data.data(), size);
            ASSERT_EQ(text, expected) << "size " << size << (url ? " url-safe" : " standard");
            codec::Bytes back;
            ASSERT_TRUE(url ? codec::fromBase64Url(text, back) : codec::fromBase64(text, back)) << size;
            EXPECT_EQ(back, data) << size;
        }
    }
}

namespace {

using velcor::codec::Bytes;

// What the gateway accepted before: the alphabet only, then libsodium's strict decoding.
bool reference(const std::string& text, bool urlSafe, Bytes& out)
{
    const int variant = urlSafe ? sodium_base64_VARIANT_URLSAFE_NO_PADDING : sodium_base64_VARIANT_ORIGINAL;
    for (char c : text) {
        const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                        (urlSafe ? (c == '-' || c == '_') : (c == '+' || c == '/' || c == '='));
        if (!ok)
            return false;
    }
    if (!urlSafe && text.size() % 4 != 0)
        return false;
    out.assign(text.size() / 4 * 3 + 3, 0);
    std::size_t len = 0;
    if (sodium_base642bin(out.data(), out.size(), text.data(), text.size(), nullptr, &len, nullptr, variant) != 0)
        return false;
    out.resize(len);
    return true;
}

void expectSame(const std::string& text, bool urlSafe)
{
    Bytes want, got;
    const bool ok = reference(text, urlSafe, want);
    const bool mine = urlSafe ? velcor::codec::fromBase64Url(text, got) : velcor::codec::fromBase64(text, got);
    ASSERT_EQ(mine, ok) << (urlSafe ? "url-safe: " : "standard: ") << '"' << text << '"';
    if (ok) {
        ASSERT_EQ(got, want) << text;
    }
}

TEST(Base64Decoding, AcceptsExactlyWhatLibsodiumAcceptsWithTheSameBytes)
{
    ASSERT_TRUE(velcor::codec::ensureSodium());
    std::mt19937 rng(20261208);
    // Short texts over the alphabets, padding, their neighbours and bytes above 127.
    const std::string symbols = "AQgw/+_-=Zz09\x80\xff .";
    for (int round = 0; round < 200000; ++round) {
        std::string t(rng() % 10, 'A');
        for (char& c : t)
            c = symbols[rng() % symbols.size()];
        expectSame(t, false);
        expectSame(t, true);
    }
    // Encodings of random bytes, as they are and with one character changed.
    for (int round = 0; round < 20000; ++round) {
        Bytes b(rng() % 40);
        for (auto& x : b)
            x = static_cast<unsigned char>(rng());
        for (bool urlSafe : {false, true}) {
            std::string t = urlSafe ? velcor::codec::toBase64Url(b.data(), b.size())
                                    : velcor::codec::toBase64(b.data(), b.size());
            Bytes back;
            ASSERT_TRUE(urlSafe ? velcor::codec::fromBase64Url(t, back) : velcor::codec::fromBase64(t, back));
            ASSERT_EQ(back, b);
            if (!t.empty())
                t[rng() % t.size()] = "A/+_-=\xc3"[rng() % 7];
            expectSame(t, urlSafe);
        }
    }
}

} // namespace
