// The list's reading rules, the version order and the signed list's checks.

#include <gtest/gtest.h>

#include <ReleaseSignature.h>

#include "VersionList.h"

namespace {

using vup::CheckSignedList;
using vup::NeedsUpdate;
using vup::ReadVersionList;

QStringList names(const QList<vup::VersionEntry>& entries)
{
    QStringList out;
    for (const auto& e : entries) out << e.name + QLatin1Char('|') + e.version;
    return out;
}

TEST(VersionList, LinesCommentsAndTheEndOfTheList)
{
    // Comments between entries are skipped, lines are trimmed ("\r" included).
    EXPECT_EQ(names(ReadVersionList(QStringLiteral("; list\r\n a.so / 1.0 \r\n;between\nb.so/2.0\n"))),
              (QStringList{QStringLiteral("a.so|1.0"), QStringLiteral("b.so|2.0")}));
    // The second line empty: only the first line counts.
    EXPECT_EQ(names(ReadVersionList(QStringLiteral("a.so/1.0\n\nb.so/2.0\n"))), QStringList{QStringLiteral("a.so|1.0")});
    // A last line without "\n" is not read; a line without "/" is all version.
    EXPECT_EQ(names(ReadVersionList(QStringLiteral("1.5\nb.so/2.0"))), QStringList{QStringLiteral("|1.5")});
    // "name/" lists the file with an empty version.
    EXPECT_EQ(names(ReadVersionList(QStringLiteral("c.so/\n"))), QStringList{QStringLiteral("c.so|")});
}

TEST(VersionList, PlainCharacterOrderDecides)
{
    EXPECT_FALSE(NeedsUpdate(QStringLiteral("1.9"), QStringLiteral("1.10"))); // 1.10 listed, 1.9 installed: no
    EXPECT_TRUE(NeedsUpdate(QStringLiteral("1.10"), QStringLiteral("1.9")));  // 1.9 listed, 1.10 installed: yes
    EXPECT_FALSE(NeedsUpdate(QStringLiteral("1.0.0.1"), QStringLiteral("1.0.0.1")));
    EXPECT_TRUE(NeedsUpdate(QString(), QStringLiteral("0")));                // no version information: older
    EXPECT_TRUE(NeedsUpdate(QStringLiteral("9.9"), QString()));              // "name/": always
}

TEST(VersionList, OnlyPlainNamesOfTheProgramFolder)
{
    for (const char* ok : {"tvpb_2100.so", "TavrinPdaBanking", "libDialkit.so", "a b.txt"})
        EXPECT_TRUE(vup::IsPlainFileName(QString::fromUtf8(ok))) << ok;
    for (const char* bad : {"", "../bankd.db", "BMP/a.bmp", "BMP\\a.bmp", ".vup-stage", "a..so", "/etc/passwd", "c:x"})
        EXPECT_FALSE(vup::IsPlainFileName(QString::fromUtf8(bad))) << bad;
}

class SignedListTest : public testing::Test {
protected:
    QByteArray sign(const std::string& body) const { return QByteArray::fromStdString(velcor::signReleaseList(body, key)); }
    QByteArray pinned() const
    {
        return QByteArray(reinterpret_cast<const char*>(key.publicKey.data()), int(key.publicKey.size()));
    }
    static std::string hash(const std::string& bytes, const std::string& name)
    {
        return velcor::releaseHashLine(bytes, name) + "\n";
    }
    velcor::UpdateKeyPair key = velcor::generateUpdateKeyPair();
};

TEST_F(SignedListTest, TheBanksSignedListIsReadWithItsHashes)
{
    const auto list = CheckSignedList(sign("; 목록\n" + hash("aaa", "a.so") + hash("bbb", "b.so") + "a.so/1.2\nb.so/\n"),
                                      pinned());
    ASSERT_TRUE(list.ok) << list.why.toStdString();
    EXPECT_EQ(names(list.entries), (QStringList{QStringLiteral("a.so|1.2"), QStringLiteral("b.so|")}));
    EXPECT_EQ(list.sha256.value(QStringLiteral("b.so")).size(), 32);
}

TEST_F(SignedListTest, AnythingElseIsRefusedAsAWhole)
{
    const std::string body = hash("aaa", "a.so") + "a.so/1.2\n";
    QByteArray tampered = sign(body);
    tampered.replace("1.2", "1.3");
    QByteArray unsigned_ = QByteArray::fromStdString(body);
    const velcor::UpdateKeyPair other = velcor::generateUpdateKeyPair();
    const QByteArray foreign = QByteArray::fromStdString(velcor::signReleaseList(body, other));
    for (const QByteArray& file : {tampered, unsigned_, foreign})
        EXPECT_FALSE(CheckSignedList(file, pinned()).ok);
    EXPECT_FALSE(CheckSignedList(sign(body), QByteArray()).ok); // no pinned key: nothing is trusted

    // Signed, but a name outside the program folder or a file without a hash.
    EXPECT_FALSE(CheckSignedList(sign(hash("x", "../bankd.db") + "a.so/1\n../bankd.db/1\n"), pinned()).ok);
    EXPECT_FALSE(CheckSignedList(sign(hash("x", ".hidden") + ".hidden/1\n"), pinned()).ok);
    EXPECT_FALSE(CheckSignedList(sign(hash("aaa", "a.so") + "a.so/1\nb.so/1\n"), pinned()).ok);
    EXPECT_FALSE(CheckSignedList(sign("2.0\n"), pinned()).ok); // a line without a name
    EXPECT_TRUE(CheckSignedList(sign(body), pinned()).ok);
}

} // namespace
