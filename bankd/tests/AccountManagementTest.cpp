// Account management through the dispatcher: withdrawal accounts (PDA_A004
// with the account password and the security value), favourite deposit
// accounts (PDA_A002, PDA_A007) and hidden accounts (PDA_A005, PDA_A006).
#include "AccountCodes.h"
#include "ResultCodes.h"
#include "Sqlite.h"
#include "TransferFixture.h"

using namespace bankd;
using namespace bankd::test;

namespace {

class AccountManagement : public TransferBank {
protected:
    DispatchOutcome a004(const std::string& key, const std::string& user, const std::string& type,
                         const std::string& acct, const std::string& pwd, const std::string& way,
                         const std::string& cell, const std::string& secPwd, const std::string& signedMsg = "")
    {
        return send(key, "encrypt=1&trcode=PDA_A004&UserID=" + user + "&SqlType=" + type + "&ACCTNO=" + acct +
                             "&passwd=" + pwd + "&ScrtyWay=" + way + "&RandomNum=" + cell + "&SecPwd=" + secPwd +
                             "&SignedMsg=" + signedMsg);
    }
    DispatchOutcome registerWithCard(const std::string& acct, const std::string& pwd = "1234")
    {
        return a004(keyKim, "KIM", "1", acct, pwd, "S", "7", kimCard[6]);
    }
    std::string flagOf(const std::string& key, const std::string& user, const std::string& display)
    {
        auto reply = send(key, "encrypt=1&trcode=PDA_A003&UserID=" + user).envelope.str();
        for (int i = 1; i <= recordCount(reply, "list0"); ++i) {
            auto r = recordOf(reply, "list0", i);
            if (r.size() == 5 && r[1] == display)
                return r[3];
        }
        return "missing";
    }
    DispatchOutcome a005(const std::string& key, const std::string& user, const std::string& way,
                         const std::string& cell = "", const std::string& secPwd = "", const std::string& sig = "")
    {
        return send(key, "encrypt=1&trcode=PDA_A005&UserID=" + user + "&ScrtyWay=" + way + "&RandomNum=" + cell +
                             "&SecPwd=" + secPwd + "&SignedMsg=" + sig);
    }
    DispatchOutcome a006(const std::string& key, const std::string& user, const std::string& rows)
    {
        return send(key, "encrypt=1&trcode=PDA_A006&UserID=" + user + "&ACCNO=" + rows);
    }
    DispatchOutcome a002(const std::string& key, const std::string& user, const std::string& type,
                         const std::string& bank, const std::string& acct, const std::string& nick,
                         const std::string& name, const std::string& serial)
    {
        return send(key, "encrypt=1&trcode=PDA_A002&UserID=" + user + "&SqlType=" + type + "&ZENTAB=" + bank +
                             "&ACCTNO=" + acct + "&NICKNAME=" + nick + "&ACCTNAME=" + name + "&IPANO=" + serial);
    }
    bool hidden(const std::string& acct)
    {
        return bank.store->read([&](Db& db) {
            auto s = db.prepare("SELECT hidden FROM accounts WHERE account_no = ?1");
            s.bind(1, acct);
            s.step();
            return s.integer(0) == 1;
        });
    }
};

} // namespace

TEST_F(AccountManagement, WithdrawalAccountIsRegisteredWithPasswordAndCardAndDeletedWithPasswordOnly)
{
    std::string savings = addAccount("KIM", "220-11-0045678", 90'000, /*withdrawal=*/false);
    EXPECT_EQ(flagOf(keyKim, "KIM", "220-11-0045678"), "0");

    EXPECT_EQ(code(registerWithCard(savings, "9999")), result::kAmgPassword);
    EXPECT_EQ(code(a004(keyKim, "KIM", "1", savings, "1234", "S", "7", "0000")), result::kAmgCard);
    EXPECT_EQ(code(a004(keyKim, "KIM", "1", savings, "1234", "", "", "")), result::kAmgSecurityWay);
    EXPECT_EQ(code(a004(keyKim, "KIM", "1", savings, "1234", "K", "", "", "forged")), result::kAmgSecurityWay);
    EXPECT_EQ(flagOf(keyKim, "KIM", "220-11-0045678"), "0");

    auto ok = registerWithCard(savings);
    ASSERT_EQ(code(ok), "10000") << ok.envelope.text();
    EXPECT_EQ(ok.envelope.text(), "출금계좌가 등록되었습니다.");
    EXPECT_EQ(flagOf(keyKim, "KIM", "220-11-0045678"), "1");
    // A repeat (a lost reply sent again) changes nothing and succeeds.
    EXPECT_EQ(code(registerWithCard(savings)), "10000");
    EXPECT_EQ(flagOf(keyKim, "KIM", "220-11-0045678"), "1");

    // Deleting needs the password but no security value.
    EXPECT_EQ(code(a004(keyKim, "KIM", "2", savings, "0000", "S", "", "")), result::kAmgPassword);
    auto del = a004(keyKim, "KIM", "2", savings, "1234", "S", "", "");
    ASSERT_EQ(code(del), "10000");
    EXPECT_EQ(del.envelope.text(), "출금계좌가 삭제되었습니다.");
    EXPECT_EQ(flagOf(keyKim, "KIM", "220-11-0045678"), "0");
    EXPECT_EQ(code(a004(keyKim, "KIM", "2", savings, "1234", "S", "", "")), "10000");

    // Loans, another user's account, unknown accounts, bad types: refused.
    std::string loan = addAccount("KIM", "770-01-0012345", 0, false, "A07");
    EXPECT_EQ(code(registerWithCard(loan)), result::kAmgAccount);
    EXPECT_EQ(code(registerWithCard(leeA)), result::kAmgAccount);
    EXPECT_EQ(code(a004(keyKim, "KIM", "2", leeA, "1234", "", "", "")), result::kAmgAccount);
    EXPECT_EQ(code(registerWithCard("999999")), result::kAmgAccount);
    EXPECT_EQ(code(registerWithCard("110-234-567890")), result::kAmgAccount);
    EXPECT_EQ(code(a004(keyKim, "KIM", "3", kimA, "1234", "", "", "")), result::kBadValue);
    EXPECT_EQ(code(a004(keyLee, "KIM", "2", kimA, "1234", "", "", "")), result::kSession);
    EXPECT_EQ(flagOf(keyLee, "LEE", "110-345-678901"), "1");
}

TEST_F(AccountManagement, WrongAccountPasswordsLockTheAccountForTransfersToo)
{
    std::string savings = addAccount("KIM", "220-11-0045678", 90'000, false);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(code(registerWithCard(savings, "0000")), result::kAmgPassword);
    EXPECT_EQ(code(registerWithCard(savings, "0000")), result::kAmgAccountLocked);
    EXPECT_EQ(code(registerWithCard(savings)), result::kAmgAccountLocked);
    EXPECT_EQ(flagOf(keyKim, "KIM", "220-11-0045678"), "0");
}

TEST_F(AccountManagement, AHiddenRegisteredAccountCountsAsRegisteredAndAPendingScheduleBlocksItsDeletion)
{
    std::string h = addAccount("KIM", "110-234-567892", 10, true, "A04", /*hidden=*/true);
    EXPECT_EQ(flagOf(keyKim, "KIM", "110-234-567892"), "3");
    EXPECT_EQ(registerWithCard(h).envelope.text(), "이미 출금계좌로 등록된 계좌입니다.");

    bank.store->write([&](Db& db) {
        auto s = db.prepare(
            "INSERT INTO scheduled_transfers (customer_id, serial, exec_date, from_account, bank_code, to_account, "
            "recipient, amount, fee, sender, cms_code, registered_at) SELECT id, 'S1', '20241201', ?1, '20', ?2, "
            "'이서연', 1000, 0, '김민준', '', '2024-11-05 10:00:00' FROM customers WHERE user_id = 'KIM'");
        s.bind(1, h).bind(2, leeA).run();
    });
    auto refused = a004(keyKim, "KIM", "2", h, "1234", "S", "", "");
    EXPECT_EQ(code(refused), result::kAmgScheduled);
    EXPECT_EQ(flagOf(keyKim, "KIM", "110-234-567892"), "3");
    bank.store->write([](Db& db) { db.exec("UPDATE scheduled_transfers SET cancelled = 1"); });
    EXPECT_EQ(code(a004(keyKim, "KIM", "2", h, "1234", "S", "", "")), "10000");
    EXPECT_EQ(flagOf(keyKim, "KIM", "110-234-567892"), "0");
}

TEST_F(AccountManagement, CertificateUserRegistersWithASignatureThatIsNeverAcceptedTwice)
{
    std::string savings = addAccount("LEE", "330-13-0011223", 10'000, false);
    std::string sig = sign(keyLee);
    EXPECT_EQ(code(a004(keyLee, "LEE", "1", savings, "1234", "K", "", "", sign(keyKim))), result::kAmgSignature);
    ASSERT_EQ(code(a004(keyLee, "LEE", "1", savings, "1234", "K", "", "", sig)), "10000");
    EXPECT_EQ(flagOf(keyLee, "LEE", "330-13-0011223"), "1");
    // The same signature does not open the hiding screen.
    EXPECT_EQ(code(a005(keyLee, "LEE", "K", "", "", sig)), result::kAmgSignature);
}

TEST_F(AccountManagement, HidingNeedsOnePassedCheckPerSessionAndSavesEveryRowAtOnce)
{
    std::string other = addAccount("KIM", "220-11-0045678", 90'000, false);
    // Neither the list nor the save without a passed check.
    EXPECT_EQ(code(a005(keyKim, "KIM", "")), result::kAmgNotChecked);
    EXPECT_EQ(code(a006(keyKim, "KIM", kimA + ";1;|")), result::kAmgNotChecked);
    EXPECT_EQ(code(a005(keyKim, "KIM", "S", "7", "0000")), result::kAmgCard);
    EXPECT_EQ(code(a005(keyKim, "KIM", "")), result::kAmgNotChecked);

    auto first = a005(keyKim, "KIM", "S", "7", kimCard[6]);
    ASSERT_EQ(code(first), "10000");
    std::string reply = first.envelope.str();
    ASSERT_EQ(recordCount(reply, "list0"), 3);
    EXPECT_EQ(recordOf(reply, "list0", 1), (std::vector<std::string>{"보통예금", "110-234-567890", "1000000", "0"}));
    // Later loads send the kept values with an empty means: no new check.
    EXPECT_EQ(code(a005(keyKim, "KIM", "", "7", kimCard[6])), "10000");

    // Malformed rows, unknown or foreign accounts, repeats: nothing changes.
    for (const std::string& bad :
         {std::string(""), kimA + ";1;", kimA + ";2;|", kimA + ";1|", kimA + "1;|", std::string("abc;1;|"), kimA + ";1;;|",
          kimA + ";1;|" + kimA + ";0;|", kimA + ";1;|" + leeA + ";1;|", kimA + ";1;|999999;1;|"}) {
        auto r = a006(keyKim, "KIM", bad);
        EXPECT_NE(code(r), "10000") << bad;
    }
    EXPECT_EQ(code(a006(keyKim, "KIM", kimA + ";1;|" + leeA + ";1;|")), result::kNotOwnAccount);
    EXPECT_FALSE(hidden(kimA));
    EXPECT_FALSE(hidden(leeA));

    auto saved = a006(keyKim, "KIM", kimA + ";1;|" + kimB + ";0;|" + other + ";1;|");
    ASSERT_EQ(code(saved), "10000") << saved.envelope.text();
    EXPECT_EQ(saved.envelope.text(), "계좌숨김 정보가 저장되었습니다.");
    EXPECT_TRUE(hidden(kimA));
    EXPECT_FALSE(hidden(kimB));
    EXPECT_TRUE(hidden(other));
    EXPECT_EQ(flagOf(keyKim, "KIM", "110-234-567890"), "3");
    EXPECT_EQ(recordOf(a005(keyKim, "KIM", "").envelope.str(), "list0", 1)[3], "1");

    // Another session of the same user, or a new login, must pass the check again.
    std::string key3 = sessionKey(3);
    ASSERT_EQ(bank.login(key3, "KIM", "PW1"), "10000");
    EXPECT_EQ(code(a005(key3, "KIM", "")), result::kAmgNotChecked);
    EXPECT_EQ(code(a006(key3, "KIM", kimA + ";0;|")), result::kAmgNotChecked);
    ASSERT_EQ(bank.login(keyKim, "KIM", "PW1"), "10000");
    EXPECT_EQ(code(a005(keyKim, "KIM", "")), result::kAmgNotChecked);
    // LEE's marked session cannot touch KIM's accounts.
    ASSERT_EQ(code(a005(keyLee, "LEE", "K", "", "", sign(keyLee))), "10000");
    EXPECT_EQ(code(a006(keyLee, "LEE", kimA + ";0;|")), result::kNotOwnAccount);
    EXPECT_EQ(code(a006(keyLee, "KIM", kimA + ";0;|")), result::kSession);
    EXPECT_TRUE(hidden(kimA));
}

TEST_F(AccountManagement, FavouritesTakeTheBanksHolderNameAndStayTheOwnersOwn)
{
    auto lookup = send(keyKim, "encrypt=1&trcode=PDA_A007&UserID=KIM&ZENTAB=04&ACCTNO=12345678901&NICKNAME=유리&"
                               "WthrwAccNO=" + kimA);
    ASSERT_EQ(code(lookup), "10000");
    EXPECT_NE(lookup.envelope.str().find("<free0>최유리</free0>"), std::string::npos) << lookup.envelope.str();
    EXPECT_EQ(code(send(keyKim, "encrypt=1&trcode=PDA_A007&UserID=KIM&ZENTAB=04&ACCTNO=999&NICKNAME=x&WthrwAccNO=" +
                                    kimA)),
              result::kAmgHolder);
    EXPECT_EQ(code(send(keyKim, "encrypt=1&trcode=PDA_A007&UserID=KIM&ZENTAB=04&ACCTNO=12345678901&NICKNAME=x&"
                                "WthrwAccNO=" + leeA)),
              result::kAmgWithdrawal);
    EXPECT_EQ(code(send(keyKim, "encrypt=1&trcode=PDA_A007&UserID=KIM&ZENTAB=99&ACCTNO=12345678901&NICKNAME=x&"
                                "WthrwAccNO=" + kimA)),
              result::kAmgBank);

    // The client's ACCTNAME is ignored: the bank's lookup is stored.
    auto reg = a002(keyKim, "KIM", "1", "04", "12345678901", "유리적금", "가짜이름", "");
    ASSERT_EQ(code(reg), "10000") << reg.envelope.text();
    EXPECT_EQ(reg.envelope.text(), "입금계좌가 등록되었습니다.");
    EXPECT_EQ(code(a002(keyKim, "KIM", "1", "04", "12345678901", "또", "", "")), result::kAmgDuplicate);
    EXPECT_EQ(code(a002(keyKim, "KIM", "1", "04", "55555", "없는계좌", "", "")), result::kAmgHolder);
    EXPECT_EQ(code(a002(keyKim, "KIM", "1", "20", "7700100012345", "대출", "", "")), result::kAmgHolder);
    EXPECT_EQ(code(a002(keyKim, "KIM", "1", "99", "12345678901", "x", "", "")), result::kAmgBank);
    EXPECT_EQ(code(a002(keyKim, "KIM", "1", "04", "12345678901", "", "", "")), result::kAmgNickname);
    ASSERT_EQ(code(a002(keyKim, "KIM", "1", "20", leeA, "서연", "", "")), "10000");

    auto list = send(keyKim, "encrypt=1&trcode=PDA_A001&UserID=KIM").envelope.str();
    ASSERT_EQ(recordCount(list, "list0"), 2);
    auto r1 = recordOf(list, "list0", 1);
    ASSERT_EQ(r1.size(), 6u);
    EXPECT_EQ(r1[0], "04");
    EXPECT_EQ(r1[1], "유리적금");
    EXPECT_EQ(r1[2], "12345678901");
    EXPECT_EQ(r1[3], "최유리");
    const std::string serial1 = r1[4];
    const std::string serial2 = recordOf(list, "list0", 2)[4];
    EXPECT_EQ(recordOf(list, "list0", 2)[3], "이서연");

    // Modify: to an account already in the list is a duplicate; otherwise the holder is looked up again.
    EXPECT_EQ(code(a002(keyKim, "KIM", "2", "20", leeA, "유리", "", serial1)), result::kAmgDuplicate);
    auto mod = a002(keyKim, "KIM", "2", "04", "12345678901", "유리통장", "", serial1);
    ASSERT_EQ(code(mod), "10000");
    EXPECT_EQ(mod.envelope.text(), "입금계좌가 수정되었습니다.");
    EXPECT_EQ(recordOf(send(keyKim, "encrypt=1&trcode=PDA_A001&UserID=KIM").envelope.str(), "list0", 1)[1],
              "유리통장");

    // LEE can neither change nor delete KIM's entries, nor see them.
    EXPECT_EQ(code(a002(keyLee, "LEE", "2", "04", "12345678901", "탈취", "", serial1)), result::kAmgNoFavourite);
    EXPECT_EQ(code(a002(keyLee, "LEE", "3", "", "", "", "", serial1)), result::kAmgNoFavourite);
    EXPECT_EQ(recordCount(send(keyLee, "encrypt=1&trcode=PDA_A001&UserID=LEE").envelope.str(), "list0"), 0);

    auto del = a002(keyKim, "KIM", "3", "20", leeA, "서연", "이서연", serial2);
    ASSERT_EQ(code(del), "10000");
    EXPECT_EQ(del.envelope.text(), "입금계좌가 삭제되었습니다.");
    EXPECT_EQ(code(a002(keyKim, "KIM", "3", "20", leeA, "서연", "이서연", serial2)), result::kAmgNoFavourite);
    EXPECT_EQ(code(a002(keyKim, "KIM", "4", "20", leeA, "서연", "", serial1)), result::kBadValue);
    EXPECT_EQ(recordCount(send(keyKim, "encrypt=1&trcode=PDA_A001&UserID=KIM").envelope.str(), "list0"), 1);
}

TEST_F(AccountManagement, HolderNameLookupsAreRateLimited)
{
    int refused = 0;
    for (int i = 0; i < 40 && refused == 0; ++i) {
        auto r = send(keyKim, "encrypt=1&trcode=PDA_A007&UserID=KIM&ZENTAB=04&ACCTNO=12345678901&NICKNAME=x&"
                              "WthrwAccNO=" + kimA);
        if (code(r) == result::kTooMany)
            refused = i + 1;
    }
    EXPECT_GT(refused, 1);
    EXPECT_LE(refused, 31);
}
