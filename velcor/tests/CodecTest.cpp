// The wire codec's base64 against libsodium's own encoder: every length (all
// three padding cases), both alphabets, and back again through the strict decoder.
#include <gtest/gtest.h>

#include <sodium.h>

#include <random>

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
