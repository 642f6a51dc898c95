// Certificates issued for bankd's users and the signed texts bankd checks.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "Certificate.h"
#include "GatewayProtocol.h"
#include "Signature.h"

using namespace velcor;

namespace {
const std::string kSession = "q1w2e3r4t5y6u7i8o9p0AaSsDdFfGgHhJjKkLlZzXx+=";
constexpr std::int64_t kNow = 1718000000;

std::string readFile(const std::string& path)
{
    QFile f(QString::fromStdString(path));
    f.open(QIODevice::ReadOnly);
    return f.readAll().toStdString();
}

void writeFile(const std::string& path, const std::string& text)
{
    QFile f(QString::fromStdString(path));
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(text.data(), static_cast<qint64>(text.size()));
}
} // namespace

TEST(Certificates, IssueListAndUnlock)
{
    QTemporaryDir dir;
    const std::string certDir = dir.filePath("certs").toStdString();
    const IssuedCertificate kim = issueCertificate(certDir, "kim01", "김철수", "비밀 1234", KdfStrength::Minimum);
    ASSERT_TRUE(kim.ok) << kim.reason;
    EXPECT_EQ(kim.info.id.size(), protocol::kCertIdLength);
    EXPECT_EQ(kim.info.publicKeyBase64.size(), 44u);
    EXPECT_TRUE(QFile::exists(QString::fromStdString(certDir + "/" + kim.info.id + ".cert")));
    const IssuedCertificate lee = issueCertificate(certDir, "aaa", "이영희", "pw", KdfStrength::Minimum);
    ASSERT_TRUE(lee.ok);

    // The file never holds the secret key or the password in the clear.
    const std::string file = readFile(kim.info.filePath);
    EXPECT_NE(file.find("user_name=김철수\n"), std::string::npos);
    EXPECT_EQ(file.find("비밀 1234"), std::string::npos);

    const auto list = listCertificates(certDir);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].userId, "aaa");
    EXPECT_EQ(list[1].userId, "kim01");
    EXPECT_EQ(list[1].userName, "김철수");
    EXPECT_EQ(list[1].publicKeyBase64, kim.info.publicKeyBase64);

    std::string why;
    const auto key = unlockCertificate(kim.info.filePath, "비밀 1234", &why);
    ASSERT_TRUE(key.has_value()) << why;
    EXPECT_EQ(key->info.id, kim.info.id);
    EXPECT_FALSE(unlockCertificate(kim.info.filePath, "비밀 1235", &why).has_value());
    EXPECT_EQ(why, "인증서 비밀번호가 올바르지 않습니다");
    EXPECT_FALSE(unlockCertificate(kim.info.filePath, "", &why).has_value());
}

TEST(Certificates, BadRequestsAndDamagedFilesAreRefused)
{
    QTemporaryDir dir;
    const std::string certDir = dir.path().toStdString();
    EXPECT_FALSE(issueCertificate(certDir, "", "이름", "pw", KdfStrength::Minimum).ok);
    EXPECT_FALSE(issueCertificate(certDir, "id\nformat=x", "이름", "pw", KdfStrength::Minimum).ok);
    EXPECT_FALSE(issueCertificate(certDir, "id", "이름", "", KdfStrength::Minimum).ok);
    EXPECT_TRUE(listCertificates(certDir).empty());
    EXPECT_TRUE(listCertificates(certDir + "/missing").empty());

    const IssuedCertificate c = issueCertificate(certDir, "park", "박", "pw", KdfStrength::Minimum);
    ASSERT_TRUE(c.ok);
    const std::string original = readFile(c.info.filePath);
    std::string why;

    // Another certificate's public key pasted in: the key no longer matches it.
    const IssuedCertificate other = issueCertificate(dir.filePath("o").toStdString(), "x", "x", "pw",
                                                     KdfStrength::Minimum);
    std::string swapped = original;
    swapped.replace(swapped.find(c.info.publicKeyBase64), 44, other.info.publicKeyBase64);
    writeFile(c.info.filePath, swapped);
    EXPECT_FALSE(unlockCertificate(c.info.filePath, "pw", &why).has_value());
    EXPECT_EQ(why, "인증서 파일이 손상되었습니다");

    // A hash cost far beyond what the product writes is not run.
    std::string costly = original;
    const auto at = costly.find("opslimit=");
    costly.replace(at, costly.find('\n', at) - at, "opslimit=4000000000");
    writeFile(c.info.filePath, costly);
    EXPECT_FALSE(unlockCertificate(c.info.filePath, "pw", &why).has_value());
    EXPECT_EQ(why, "인증서 파일이 손상되었습니다");

    writeFile(c.info.filePath, "garbage without equals");
    EXPECT_FALSE(unlockCertificate(c.info.filePath, "pw", &why).has_value());
    EXPECT_EQ(why, "인증서 파일을 읽을 수 없습니다");
    EXPECT_TRUE(listCertificates(certDir).empty());

    writeFile(c.info.filePath, original);
    EXPECT_TRUE(unlockCertificate(c.info.filePath, "pw").has_value());
}

TEST(Signatures, VerifiedOnlyForTheSameDataSessionAndTime)
{
    QTemporaryDir dir;
    const IssuedCertificate c = issueCertificate(dir.path().toStdString(), "kim01", "김철수", "pw", KdfStrength::Minimum);
    ASSERT_TRUE(c.ok);
    const auto key = unlockCertificate(c.info.filePath, "pw");
    ASSERT_TRUE(key.has_value());

    const std::string text = makeSignedText(key->secretKey, c.info.id, kNow, kSession, "1");
    EXPECT_EQ(text.rfind("V1." + c.info.id + "." + std::to_string(kNow) + ".", 0), 0u);
    EXPECT_EQ(text.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789._-"),
              std::string::npos);

    const SignatureCheck ok = verifySignature(c.info.publicKeyBase64, "1", text, kSession, kNow + 30, 300);
    EXPECT_TRUE(ok.ok) << ok.reason;
    EXPECT_EQ(ok.certId, c.info.id);
    EXPECT_EQ(ok.timestamp, kNow);

    // Other data, another session, too late, too early.
    EXPECT_EQ(verifySignature(c.info.publicKeyBase64, "2", text, kSession, kNow, 300).reason, "서명이 올바르지 않습니다");
    std::string otherSession = kSession;
    otherSession[0] = 'r';
    EXPECT_EQ(verifySignature(c.info.publicKeyBase64, "1", text, otherSession, kNow, 300).reason,
              "서명이 올바르지 않습니다");
    EXPECT_EQ(verifySignature(c.info.publicKeyBase64, "1", text, kSession, kNow + 301, 300).reason,
              "서명 시각이 허용 범위를 벗어났습니다");
    EXPECT_FALSE(verifySignature(c.info.publicKeyBase64, "1", text, kSession, kNow - 301, 300).ok);
    // A later time written over the signed one breaks the signature.
    std::string moved = text;
    moved.replace(moved.find(std::to_string(kNow)), 10, std::to_string(kNow + 100));
    EXPECT_EQ(verifySignature(c.info.publicKeyBase64, "1", moved, kSession, kNow + 100, 300).reason,
              "서명이 올바르지 않습니다");
    // Somebody else's registered key.
    const IssuedCertificate other = issueCertificate(dir.path().toStdString(), "lee", "이", "pw", KdfStrength::Minimum);
    EXPECT_FALSE(verifySignature(other.info.publicKeyBase64, "1", text, kSession, kNow, 300).ok);
    EXPECT_EQ(verifySignature("not a key", "1", text, kSession, kNow, 300).reason,
              "등록된 인증서 공개키가 올바르지 않습니다");
}

TEST(Signatures, MalformedSignedTextsAreRefused)
{
    const std::string pk = "47DEQpj8HBSa+/TImW+5JCeuQeRkm5NMpJWZG3hSuFU=";
    const std::string sig(86, 'A');
    for (const std::string& bad :
         {std::string(), std::string("V1"), std::string("V1..."), "V2.0123456789abcdef.1718000000." + sig,
          "V1.0123456789ABCDEF.1718000000." + sig, "V1.0123456789abcde.1718000000." + sig,
          "V1.0123456789abcdef.-5." + sig, "V1.0123456789abcdef.17180x0000." + sig,
          "V1.0123456789abcdef.1718000000." + sig.substr(1), "V1.0123456789abcdef.1718000000." + sig + ".x",
          "V1.0123456789abcdef.99999999999999999999." + sig, "V1.0123456789abcdef.1718000000." + sig + "==",
          std::string(5000, '.')}) {
        const SignatureCheck r = verifySignature(pk, "1", bad, kSession, kNow, 300);
        EXPECT_FALSE(r.ok) << bad;
        EXPECT_EQ(r.reason, "서명 형식이 올바르지 않습니다") << bad;
    }
}
