// Customer information through the dispatcher: the profile (PDA_I001), the
// password change (PDA_I003) and the change of the security means (PDA_I005).
#include "AccountCodes.h"
#include "CustomerInfo.h"
#include "Customers.h"
#include "ResultCodes.h"
#include "Sqlite.h"
#include "TransferFixture.h"

using namespace bankd;
using namespace bankd::test;

namespace {

class CustomerInfo : public TransferBank {
protected:
    DispatchOutcome i003(const std::string& key, const std::string& user, const std::string& pwd,
                         const std::string& pwd1)
    {
        return send(key, "encrypt=1&trcode=PDA_I003&UserID=" + user + "&Pwd=" + pwd + "&Pwd1=" + pwd1);
    }
    DispatchOutcome i005(const std::string& key, const std::string& user, const std::string& way)
    {
        return send(key, "encrypt=1&trcode=PDA_I005&UserID=" + user + "&secgb=" + way);
    }
    std::string wayOf(const std::string& user)
    {
        return bank.store->read([&](Db& db) { return customers::find(db, user)->securityWay; });
    }
};

} // namespace

TEST_F(CustomerInfo, ProfileIsOneRecordOfTwentyFieldsOfTheUsersOwn)
{
    bank.store->write([](Db& db) {
        Profile p;
        p.address1 = "서울특별시 강남구 테헤란로 152";
        p.address2 = "12층";
        p.mobile = "010-2345-6789";
        p.birthDate = "19700131";
        p.businessCode = "2100";
        customerinfo::setProfile(db, customers::find(db, "KIM")->id, p);
    });
    auto r = send(keyKim, "encrypt=1&trcode=PDA_I001&UserID=KIM");
    ASSERT_EQ(code(r), "10000");
    const std::string reply = r.envelope.str();
    EXPECT_EQ(recordCount(reply, "free0"), 1);  // the record ends with "|"
    auto f = recordOf(reply, "free0");
    ASSERT_EQ(f.size(), 20u);
    EXPECT_EQ(f[0], "김민준");
    EXPECT_EQ(f[3], "서울특별시 강남구 테헤란로 152");
    EXPECT_EQ(f[4], "12층");
    EXPECT_EQ(f[6], "010-2345-6789");
    EXPECT_EQ(f[8], "1");
    EXPECT_EQ(f[9], "19700131");
    EXPECT_EQ(f[10], "00000000");
    EXPECT_EQ(f[11], "2100");
    // LEE has no profile yet: the name and empty fields. KIM's profile is KIM's only.
    auto lee = recordOf(send(keyLee, "encrypt=1&trcode=PDA_I001&UserID=LEE").envelope.str(), "free0");
    ASSERT_EQ(lee.size(), 20u);
    EXPECT_EQ(lee[0], "이서연");
    EXPECT_EQ(lee[3], "");
    EXPECT_EQ(code(send(keyLee, "encrypt=1&trcode=PDA_I001&UserID=KIM")), result::kSession);
}

TEST_F(CustomerInfo, PasswordChangeChecksTheOldOneAndEndsTheOtherSessions)
{
    std::string other = sessionKey(7);
    ASSERT_EQ(bank.login(other, "KIM", "PW1"), "10000");

    EXPECT_EQ(code(i003(keyKim, "KIM", "WRONG1", "NEW1")), result::kInfPassword);
    EXPECT_EQ(code(i003(keyKim, "KIM", "PW1", "1234")), result::kInfNewPassword);     // digits only
    EXPECT_EQ(code(i003(keyKim, "KIM", "PW1", "ABCD")), result::kInfNewPassword);     // letters only
    EXPECT_EQ(code(i003(keyKim, "KIM", "PW1", "A1")), result::kInfNewPassword);       // too short
    EXPECT_EQ(code(i003(keyKim, "KIM", "PW1", "ABCD12345")), result::kInfNewPassword);  // too long
    EXPECT_EQ(code(i003(keyKim, "KIM", "PW1", "AB-12")), result::kInfNewPassword);
    EXPECT_EQ(code(send(other, "encrypt=1&trcode=PDA_I001&UserID=KIM")), "10000");

    // Typed in lower case: stored as login compares it.
    auto ok = i003(keyKim, "KIM", "pw1", "new12");
    ASSERT_EQ(code(ok), "10000") << ok.envelope.text();
    EXPECT_EQ(ok.envelope.text(), "비밀번호가 변경되었습니다. 다음 로그인부터 변경된 비밀번호를 사용하십시오.");
    // The other session must log in again; this one goes on.
    EXPECT_EQ(code(send(other, "encrypt=1&trcode=PDA_I001&UserID=KIM")), result::kSession);
    EXPECT_EQ(code(send(keyKim, "encrypt=1&trcode=PDA_I001&UserID=KIM")), "10000");
    EXPECT_EQ(code(send(keyLee, "encrypt=1&trcode=PDA_I001&UserID=LEE")), "10000");
    EXPECT_EQ(code(i003(keyKim, "KIM", "NEW12", "New12")), result::kInfSamePassword);  // same, in other case

    EXPECT_EQ(bank.login(sessionKey(8), "KIM", "PW1"), result::kLoginFailed);
    EXPECT_EQ(bank.login(sessionKey(9), "KIM", "NEW12"), "10000");
    EXPECT_EQ(bank.login(sessionKey(10), "KIM", "new12"), "10000");
}

TEST_F(CustomerInfo, WrongCurrentPasswordsCountTowardsTheLoginLock)
{
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(code(i003(keyKim, "KIM", "BAD1", "NEW12")), result::kInfPassword);
    EXPECT_EQ(code(i003(keyKim, "KIM", "BAD1", "NEW12")), result::kLocked);
    EXPECT_EQ(code(i003(keyKim, "KIM", "PW1", "NEW12")), result::kLocked);
    EXPECT_EQ(bank.login(sessionKey(5), "KIM", "PW1"), result::kLocked);
}

TEST_F(CustomerInfo, SecurityMeansChangesOnlyToAMeansTheCustomerHoldsAndIsLogged)
{
    // KIM holds a card but no certificate.
    auto noCert = i005(keyKim, "KIM", "K");
    EXPECT_EQ(code(noCert), result::kInfNoCertificate);
    EXPECT_EQ(wayOf("KIM"), "S");
    EXPECT_EQ(code(i005(keyKim, "KIM", "X")), result::kInfSecurityWay);
    EXPECT_EQ(code(i005(keyKim, "KIM", "")), result::kInfSecurityWay);
    EXPECT_EQ(code(i005(keyKim, "KIM", "s")), result::kInfSecurityWay);

    // LEE holds both.
    auto toCard = i005(keyLee, "LEE", "S");
    ASSERT_EQ(code(toCard), "10000");
    EXPECT_EQ(toCard.envelope.text(), "이체수단이 보안카드(으)로 변경되었습니다.");
    EXPECT_EQ(wayOf("LEE"), "S");
    ASSERT_EQ(code(i005(keyLee, "LEE", "K")), "10000");
    EXPECT_EQ(wayOf("LEE"), "K");
    EXPECT_EQ(code(i005(keyLee, "KIM", "K")), result::kSession);

    bank.store->write([](Db& db) { db.exec("DELETE FROM security_cards"); });
    EXPECT_EQ(code(i005(keyLee, "LEE", "S")), result::kInfNoCard);
    EXPECT_EQ(wayOf("LEE"), "K");

    auto log = bank.store->read([](Db& db) {
        std::vector<std::string> rows;
        auto s = db.prepare("SELECT old_way || '>' || new_way FROM security_way_changes ORDER BY id");
        while (s.step())
            rows.push_back(s.text(0));
        return rows;
    });
    EXPECT_EQ(log, (std::vector<std::string>{"K>S", "S>K"}));
}
