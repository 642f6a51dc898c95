// The one code page 949 converter: the UTF-8 core that bankd uses and the QString
// face of the client, with valid, invalid and unconvertible input both ways.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "CodePage949.h"
#include "CodePage949Qt.h"

namespace {

const std::string kReplacement = "\xEF\xBF\xBD"; // U+FFFD in UTF-8

TEST(CodePage949, HangulRoundTripsIncludingSyllablesOutsideEucKr)
{
    // 가 and 나 are KS X 1001; 똠 exists only in the extended code page.
    EXPECT_EQ(cp949::fromUtf8("가나q=1"), "\xB0\xA1\xB3\xAA" "q=1");
    EXPECT_EQ(cp949::fromUtf8("똠"), "\x8C\x63");
    EXPECT_EQ(cp949::toUtf8("\x8C\x63\xB9\xE6"), "똠방");
    const QString text = QStringLiteral("56\tABN-AMRO\r\n20\t타브린은행 똠방각하");
    const QByteArray bytes = cp949::encode(text);
    EXPECT_TRUE(bytes.startsWith("56\tABN-AMRO\r\n20\t"));
    EXPECT_EQ(bytes.size(), 16 + 5 * 2 + 1 + 4 * 2);
    EXPECT_EQ(cp949::decode(bytes), text);
    EXPECT_EQ(cp949::toUtf8Strict(std::string_view(bytes.constData(), bytes.size())), text.toStdString());
    // Empty stays empty.
    EXPECT_TRUE(cp949::encode(QString()).isEmpty());
    EXPECT_TRUE(cp949::decode(QByteArray()).isEmpty());
    EXPECT_EQ(cp949::fromUtf8(""), "");
    EXPECT_EQ(cp949::toUtf8Strict(""), std::string());
}

TEST(CodePage949, InvalidCodePageBytesBecomeOneReplacementEachAndTheRestSurvives)
{
    // 0x80 and 0xFF lead nothing; a lead byte followed by a byte that trails
    // nothing is bad alone (the next byte stays); a lead byte cut off at the end
    // is bad. (Letters do trail in this code page: "\xB0" "A" is one syllable.)
    EXPECT_EQ(cp949::toUtf8("a\x80" "b"), "a" + kReplacement + "b");
    EXPECT_EQ(cp949::toUtf8("x\xFFy"), "x" + kReplacement + "y");
    EXPECT_EQ(cp949::toUtf8("\xB0" "1\xB0\xA1"), kReplacement + "1가");
    EXPECT_EQ(cp949::toUtf8("\xB0" "A"), "캚");
    EXPECT_EQ(cp949::toUtf8("ab\xB0"), "ab" + kReplacement);
    EXPECT_EQ(cp949::decode(QByteArray("\xB3\xAA\x80\xB3\xAA", 5)), QStringLiteral("나\uFFFD나"));
    // The strict reading refuses the same input instead of mending it.
    EXPECT_EQ(cp949::toUtf8Strict("a\x80" "b"), std::nullopt);
    EXPECT_EQ(cp949::toUtf8Strict("ab\xB0"), std::nullopt);
    EXPECT_EQ(cp949::toUtf8Strict("\xB0\xA1"), "가");
}

TEST(CodePage949, UnconvertibleOrInvalidTextEncodesAsQuestionMarks)
{
    // Characters the code page lacks: one "?" per character, whatever its length.
    EXPECT_EQ(cp949::fromUtf8("a\xE0\xB8\x81" "b"), "a?b");          // Thai ก
    EXPECT_EQ(cp949::fromUtf8("x\xF0\x9F\x98\x80y"), "x?y");         // emoji, 4 bytes
    EXPECT_EQ(cp949::encode(QStringLiteral("a\U0001F600b가")), QByteArray("a?b\xB0\xA1"));
    // Bytes that are not UTF-8: one "?" each; a cut-off sequence at the end too.
    EXPECT_EQ(cp949::fromUtf8("a\xFF" "b"), "a?b");
    EXPECT_EQ(cp949::fromUtf8("\x80가"), "?\xB0\xA1");
    EXPECT_EQ(cp949::fromUtf8("가\xEA\xB0"), "\xB0\xA1??");
    EXPECT_EQ(cp949::fromUtf8("\xC0\xAF"), "??"); // overlong "/"
    // A lone surrogate inside a QString.
    QString lone = QStringLiteral("a");
    lone.append(QChar(0xD800));
    lone.append(QLatin1Char('b'));
    EXPECT_EQ(cp949::encode(lone), QByteArray("a?b"));
}

TEST(CodePage949, Utf8ValidityCheck)
{
    EXPECT_TRUE(cp949::isValidUtf8(""));
    EXPECT_TRUE(cp949::isValidUtf8("plain 한글 \xF0\x9F\x98\x80"));
    EXPECT_FALSE(cp949::isValidUtf8("\xB0\xA1"));          // code page 949 bytes
    EXPECT_FALSE(cp949::isValidUtf8("\xED\xA0\x80"));      // surrogate
    EXPECT_FALSE(cp949::isValidUtf8("\xE0\x80\xAF"));      // overlong
    EXPECT_FALSE(cp949::isValidUtf8("\xF4\x90\x80\x80"));  // above U+10FFFF
    EXPECT_FALSE(cp949::isValidUtf8("\xEA\xB0"));          // cut off
}

TEST(CodePage949, LongTextsAndManyThreadsConvertWhole)
{
    // Longer than one internal buffer, from several threads at once: every
    // thread gets its own exact result.
    std::vector<std::string> results(4);
    std::vector<std::string> inputs(4);
    for (size_t t = 0; t < inputs.size(); ++t)
        for (int i = 0; i < 3000; ++i)
            inputs[t] += "한" + std::to_string((i + t) % 10) + (i % 7 == 0 ? "\x80" : "");
    std::vector<std::thread> threads;
    for (size_t t = 0; t < inputs.size(); ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 20; ++round)
                results[t] = cp949::toUtf8(cp949::fromUtf8(inputs[t]));
        });
    }
    for (auto& th : threads)
        th.join();
    for (size_t t = 0; t < inputs.size(); ++t) {
        std::string expected;
        for (int i = 0; i < 3000; ++i)
            expected += "한" + std::to_string((i + t) % 10) + (i % 7 == 0 ? "?" : "");
        EXPECT_EQ(results[t], expected) << "thread " << t;
    }
}

} // namespace
