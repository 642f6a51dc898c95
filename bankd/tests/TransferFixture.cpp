#include "TransferFixture.h"

#include <chrono>

#include "Accounts.h"
#include "Admin.h"
#include "EnvelopeReader.h"
#include "PasswordHash.h"
#include "Sqlite.h"
#include "velcor/Certificate.h"
#include "velcor/Signature.h"

namespace bankd::test {

std::vector<std::string> recordOf(const std::string& reply, const std::string& tag, int record)
{
    std::string content = xParse(xParse(reply, "DataTag"), tag);
    size_t start = 0;
    for (int i = 1; i < record; ++i) {
        size_t bar = content.find('|', start);
        if (bar == std::string::npos)
            return {};
        start = bar + 1;
    }
    size_t end = content.find('|', start);
    std::string rec = content.substr(start, end == std::string::npos ? std::string::npos : end - start);
    std::vector<std::string> out;
    size_t p = 0;
    for (size_t semi; (semi = rec.find(';', p)) != std::string::npos; p = semi + 1)
        out.push_back(trimmed(rec.substr(p, semi - p)));
    return out;
}

int recordCount(const std::string& reply, const std::string& tag)
{
    std::string content = xParse(xParse(reply, "DataTag"), tag);
    int n = 0;
    for (char c : content)
        n += c == '|';
    return n;
}

TransferBank::TransferBank()
{
    kimCard = bank.addCustomer("KIM", "PW1", "S", "김민준");
    bank.addCustomer("LEE", "PW2", "K", "이서연");
    kimA = addAccount("KIM", "110-234-567890", 1'000'000);
    kimB = addAccount("KIM", "110-234-567891", 50'000);
    leeA = addAccount("LEE", "110-345-678901", 300'000);
    auto cert = admin::issueCertificate(*bank.store, "LEE", bank.dir.str("home"), "certpw", /*fast=*/true);
    auto key = velcor::unlockCertificate(cert.filePath, "certpw");
    EXPECT_TRUE(key);
    if (key) {
        leeSecret = key->secretKey;
        leeCertId = key->info.id;
    }
    bank.store->write([&](Db& db) {
        db.exec("INSERT INTO other_bank_accounts (bank_code, account_no, holder) VALUES ('04', '12345678901', '최유리')");
    });
    EXPECT_EQ(bank.login(keyKim, "KIM", "PW1"), "10000");
    EXPECT_EQ(bank.login(keyLee, "LEE", "PW2"), "10000");
}

std::string TransferBank::addAccount(const std::string& owner, const std::string& displayNo, std::int64_t amount,
                                     bool withdrawal, const std::string& kind, bool hidden)
{
    std::string digits = accounts::digitsOnly(displayNo);
    std::string hash = hashPassword("1234", HashCost::minimal());
    bank.store->write([&](Db& db) {
        Account a;
        a.accountNo = digits;
        a.customerId = customers::find(db, owner)->id;
        a.displayNo = displayNo;
        a.kindName = "보통예금";
        a.kindCode = kind;
        a.withdrawal = withdrawal;
        a.hidden = hidden;
        a.openedOn = "20240101";
        accounts::add(db, a, hash);
        if (amount > 0)
            accounts::post(db, digits, amount, "2024-01-01 09:00:00", "신규", "");
    });
    return digits;
}

std::int64_t TransferBank::balance(const std::string& accountNo)
{
    return bank.store->read([&](Db& db) { return accounts::find(db, accountNo)->balance; });
}

int TransferBank::historyRows(const std::string& accountNo)
{
    return bank.store->read([&](Db& db) {
        auto s = db.prepare("SELECT count(*) FROM account_history WHERE account_no = ?1");
        s.bind(1, accountNo);
        s.step();
        return static_cast<int>(s.integer(0));
    });
}

std::int64_t TransferBank::totalBalances()
{
    return bank.store->read([&](Db& db) {
        auto s = db.prepare("SELECT sum(balance) FROM accounts");
        s.step();
        return s.integer(0);
    });
}

thread_local Dispatcher* TransferBank::threadVia = nullptr;

DispatchOutcome TransferBank::send(const std::string& key, const std::string& query)
{
    if (threadVia)
        return threadVia->dispatch(Route::Encrypted, key, query);
    if (via)
        return via->dispatch(Route::Encrypted, key, query);
    return bank.encrypted(key, query);
}

DispatchOutcome TransferBank::check(const std::string& key, const std::string& user, const std::string& from,
                                    const std::string& to, const std::string& amount, const std::string& bankCode,
                                    const std::string& date, const std::string& password)
{
    return send(key, "encrypt=1&trcode=PDA_T001&UserID=" + user + "&WthrwAccNO=" + from + "&AccPwd=" + password +
                         "&DepstBankCD=" + bankCode + "&DepstAccNO=" + to + "&TranMny=" + amount +
                         "&Sender=&CMSCD=&IcheExecdate=" + date);
}

DispatchOutcome TransferBank::execute(const std::string& key, const std::string& user,
                                      const std::vector<std::string>& e, const std::string& way,
                                      const std::string& cell, const std::string& secPwd,
                                      const std::string& signedMsg)
{
    EXPECT_EQ(e.size(), 19u);
    if (e.size() != 19)
        return {};
    auto dash = [](std::string s) {
        return accounts::digitsOnly(s) == s ? s : accounts::digitsOnly(s);
    };
    return send(key, "encrypt=1&trcode=PDA_T002&UserID=" + user + "&WthrwAccNO=" + dash(e[0]) + "&DepstBankNm=" +
                         e[1] + "&RcverNm=" + e[2] + "&CMSCD=" + e[3] + "&IcheExecdate=" + e[4] + "&TranBefBal=" +
                         e[5] + "&DepstAccNO=" + dash(e[6]) + "&TranMny=" + e[7] + "&Sender=" + e[8] +
                         "&Charge=" + e[9] + "&IcheType=&DepstBankCD=" + e[11] + "&AccPwd=" + e[12] +
                         "&PayDaySumBranch=" + e[13] + "&DepstDaySumBranch=" + e[14] + "&TranMode=" + e[15] +
                         "&RsrvExecDay=" + e[16] + "&Seq=" + e[17] + "&IMang=" + e[18] + "&ScrtyWay=" + way +
                         "&RandomNum=" + cell + "&SecPwd=" + secPwd + "&SignedMsg=" + signedMsg + "&Phone=");
}

DispatchOutcome TransferBank::executeWithCard(const std::string& key, const std::vector<std::string>& echo)
{
    return execute(key, "KIM", echo, "S", "7", kimCard[6], "");
}

std::string TransferBank::sign(const std::string& key, std::int64_t when)
{
    if (when == 0)
        when = std::chrono::duration_cast<std::chrono::seconds>(bank.clock.now().time_since_epoch()).count();
    return velcor::makeSignedText(leeSecret, leeCertId, when, key, "1");
}

} // namespace bankd::test
