// PDA_S003: cheque validity, without login but only on the encrypted servlet.
#include <gtest/gtest.h>

#include "Cheques.h"
#include "EnvelopeReader.h"
#include "ResultCodes.h"
#include "TestBank.h"

using namespace bankd;
using namespace bankd::test;

namespace {

class ChequeInquiry : public ::testing::Test {
protected:
    ChequeInquiry()
    {
        bank.store->write([](Db& db) {
            cheques::add(db, {"20", "0456", "23456789", "53", 300'000, "20241020", ""});
            cheques::add(db, {"83", "0077", "45678901", "50", 750'000, "20240901", "지급정지"});
        });
    }
    std::string ask(const std::string& bankCd, const std::string& shop, const std::string& no, const std::string& kind,
                    const std::string& money)
    {
        return bank.encrypted(sessionKey(5), "useSess=N&encrypt=1&trcode=PDA_S003&BankCD=" + bankCd + "&PublShopNO=" +
                                                 shop + "&CheckNO=" + no + "&CheckKind=" + kind + "&CheckMny=" + money)
            .envelope.str();
    }
    TestBank bank;
};

} // namespace

TEST_F(ChequeInquiry, ValidChequeGivesNumberAmountDateAndAccident)
{
    std::string reply = ask("20", "0456", "23456789", "53", "300000");
    ASSERT_EQ(msgCode(reply), "10000") << reply;
    std::string list = xParse(xParse(reply, "DataTag"), "list0");
    EXPECT_EQ(xParsedItem(list, 1, ";"), "23456789");
    EXPECT_EQ(xParsedItem(list, 2, ";"), "300,000");
    EXPECT_EQ(xParsedItem(list, 3, ";"), "2024.10.20");
    EXPECT_EQ(xParsedItem(list, 4, ";"), "없음");
    // Branch numbers compare as numbers.
    EXPECT_EQ(msgCode(ask("20", "456", "23456789", "53", "300000")), "10000");
}

TEST_F(ChequeInquiry, AccidentRecordIsReported)
{
    std::string reply = ask("83", "0077", "45678901", "50", "750000");
    ASSERT_EQ(msgCode(reply), "10000");
    EXPECT_EQ(xParsedItem(xParse(xParse(reply, "DataTag"), "list0"), 4, ";"), "지급정지");
}

TEST_F(ChequeInquiry, UnknownOrMismatchedChequesAreRefusedWithText)
{
    std::string unknown = ask("20", "0456", "99999999", "53", "300000");
    EXPECT_EQ(msgCode(unknown), result::kUnknownCheque);
    EXPECT_EQ(msgText(unknown), result::kUnknownChequeText);
    // The same number at another bank is another cheque.
    EXPECT_EQ(msgCode(ask("83", "0456", "23456789", "53", "300000")), result::kUnknownCheque);
    EXPECT_EQ(msgCode(ask("20", "0456", "23456789", "53", "500000")), result::kChequeMismatch);
    EXPECT_EQ(msgCode(ask("20", "0456", "23456789", "55", "300000")), result::kChequeMismatch);
    EXPECT_EQ(msgCode(ask("20", "0111", "23456789", "53", "300000")), result::kChequeMismatch);
}

TEST_F(ChequeInquiry, HostileValuesAndThePlainServletAreRefused)
{
    EXPECT_EQ(msgCode(ask("20", "0456", "23456789", "53", "")), result::kBadValue);
    EXPECT_EQ(msgCode(ask("20", "0456", "23456789", "53", "300,000")), result::kBadValue);
    EXPECT_EQ(msgCode(ask("20", "0456", "2345' OR 1=1--", "53", "300000")), result::kBadValue);
    EXPECT_EQ(msgCode(ask("2", "0456", "23456789", "53", "300000")), result::kBadValue);
    EXPECT_EQ(msgCode(ask("20", "0456", "23456789", "53", "99999999999999999999")), result::kBadValue);
    EXPECT_EQ(bank.plain("useSess=N&trcode=PDA_S003&BankCD=20&PublShopNO=0456&CheckNO=23456789&CheckKind=53&"
                         "CheckMny=300000")
                  .envelope.code(),
              result::kWrongRoute);
}
