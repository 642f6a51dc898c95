#include <gtest/gtest.h>

#include "KitQuery.h"

namespace {
const QString kBase = QStringLiteral("http://bank.example:8080/servlet/TvPdaNoEnc");
}

TEST(KitQuery, OpenPathUrlsFollowTheBaseDirectly)
{
    EXPECT_EQ(BuildQueryT003(kBase), kBase + QStringLiteral("?trcode=PDA_T003"));
    EXPECT_EQ(BuildQueryU004(kBase, QStringLiteral("17")), kBase + QStringLiteral("?trcode=PDA_U004&Num=17"));
    EXPECT_EQ(BuildQueryU003(kBase, QStringLiteral("3")), kBase + QStringLiteral("?trcode=PDA_U003&Num=3"));
}

TEST(KitQuery, EmptyValuesStillWriteTheirKeys)
{
    EXPECT_EQ(BuildQueryR002(QStringLiteral("KIM01"), QString(), QString()),
              QStringLiteral("encrypt=1&trcode=PDA_R002&UserID=KIM01&ACCTNO=&ACCTPWD="));
    EXPECT_EQ(BuildQueryA003(QString()), QStringLiteral("encrypt=1&trcode=PDA_A003&UserID="));
}

TEST(KitQuery, EveryBuilderWritesItsKeysInOrder)
{
    const QString u = QStringLiteral("U1");
    const QString p = QStringLiteral("encrypt=1&trcode=");
    EXPECT_EQ(BuildQueryL001(u), p + "PDA_L001&UserID=U1");
    EXPECT_EQ(BuildQueryL002(u, "9"), p + "PDA_L002&UserID=U1&LoanAccNo=9");
    EXPECT_EQ(BuildQueryL007(u, "9"), p + "PDA_L007&UserID=U1&LoanAccNo=9");
    EXPECT_EQ(BuildQueryL003(u, "9", "20240131"), p + "PDA_L003&UserID=U1&LoanAccNo=9&sdate=20240131");
    EXPECT_EQ(BuildQueryL005(u), p + "PDA_L005&UserID=U1");
    EXPECT_EQ(BuildQueryL006(u, "77"), p + "PDA_L006&UserID=U1&AccNO=77");
    EXPECT_EQ(BuildQueryC001(u, "Y", "1"), p + "PDA_C001&UserID=U1&RelayDataYN=Y&BankGubun=1");
    EXPECT_EQ(BuildQueryC002(u, "c", "pw", "s", "e", "k"),
              p + "PDA_C002&UserID=U1&CardNO=c&CardPwd=pw&sdate=s&edate=e&ConKey=k");
    EXPECT_EQ(BuildQueryC003(u, "c", "pw", "s"), p + "PDA_C003&UserID=U1&CardNO=c&CardPwd=pw&sdate=s");
    EXPECT_EQ(BuildQueryC004(u, "c", "pw", "s", "k"), p + "PDA_C004&UserID=U1&CardNO=c&CardPwd=pw&sdate=s&ConKey=k");
    EXPECT_EQ(BuildQueryC005(u, "c", "pw"), p + "PDA_C005&UserID=U1&CardNO=c&CardPwd=pw");
    EXPECT_EQ(BuildQueryC006(u, "c", "pw"), p + "PDA_C006&UserID=U1&CardNO=c&CardPwd=pw");
    EXPECT_EQ(BuildQueryC007(u, "c", "pw", "50000", "20", "111"),
              p + "PDA_C007&UserID=U1&CardNO=c&CardPwd=pw&Cash=50000&Zentab=20&IpAccNO=111");
    EXPECT_EQ(BuildQueryR001(u), p + "PDA_R001&UserID=U1");
    EXPECT_EQ(BuildQueryR003(u), p + "PDA_R003&UserID=U1");
    EXPECT_EQ(BuildQueryR004(u, "d"), p + "PDA_R004&UserID=U1&CARDDATA=d");
    EXPECT_EQ(BuildQueryR005(u, "m"), p + "PDA_R005&UserID=U1&CARDCMP=m");
    EXPECT_EQ(BuildQueryR006(u, "d"), p + "PDA_R006&UserID=U1&CARDDATA=d");
}

TEST(KitQuery, SecurityFieldsOfCertificateAndCardUsers)
{
    // Certificate user: no cell, no digits, the signature last.
    const QString cert = BuildQueryL004(QStringLiteral("LEE"), QStringLiteral("1002003"), QStringLiteral("1234"),
                                        QStringLiteral("01"), QStringLiteral("5005"), QStringLiteral("20240105"),
                                        QStringLiteral("K"), QString(), QString(), QStringLiteral("SIG/abc="));
    EXPECT_EQ(cert, QStringLiteral("encrypt=1&trcode=PDA_L004&UserID=LEE&OutAccNO=1002003&OutAccPWD=1234"
                                   "&TryCnt=01&LoanAccNo=5005&sdate=20240105"
                                   "&ScrtyWay=K&RandomNum=&SecPwd=&SignedMsg=SIG/abc="));
    // Security-card user: the cell and its digits, nothing after SignedMsg.
    const QString card = BuildQueryC008(QStringLiteral("KIM"), QStringLiteral("9400"), QStringLiteral("12"),
                                        QStringLiteral("300000"), QStringLiteral("20"), QStringLiteral("1101"),
                                        QStringLiteral("S"), QStringLiteral("17"), QStringLiteral("4821"), QString());
    EXPECT_EQ(card, QStringLiteral("encrypt=1&trcode=PDA_C008&UserID=KIM&CardNO=9400&CardPwd=12&Cash=300000"
                                   "&Zentab=20&IpAccNO=1101&ScrtyWay=S&RandomNum=17&SecPwd=4821&SignedMsg="));
    EXPECT_TRUE(card.endsWith(QStringLiteral("&SignedMsg=")));
}

TEST(KitQuery, ValuesCannotAddKeysOfTheirOwn)
{
    // A value holding "&" would otherwise end its pair and start a new key.
    const QString q = BuildQueryR002(QStringLiteral("KIM"), QStringLiteral("1&ACCTPWD=0000"), QStringLiteral("50%"));
    EXPECT_EQ(q, QStringLiteral("encrypt=1&trcode=PDA_R002&UserID=KIM&ACCTNO=1%26ACCTPWD=0000&ACCTPWD=50%25"));
    EXPECT_EQ(q.count(QLatin1Char('&')), 4);
    EXPECT_EQ(BuildQueryU004(kBase, QStringLiteral("1&trcode=X")), kBase + "?trcode=PDA_U004&Num=1%26trcode=X");
    // Ordinary values are untouched: Korean text, blanks, "=", "+", ";".
    EXPECT_EQ(BuildQueryR004(QStringLiteral("홍길동"), QStringLiteral("a b=c+d;")),
              QStringLiteral("encrypt=1&trcode=PDA_R004&UserID=홍길동&CARDDATA=a b=c+d;"));
}

TEST(KitQuery, FormatQueryFillsAModuleLiteral)
{
    const QString q = FormatQuery(QStringLiteral("encrypt=1&trcode=PDA_T004&UserID=%s&InqSdate=%s&InqEdate=%s"),
                                  {QStringLiteral("KIM"), QStringLiteral("20240101"), QStringLiteral("20240131")});
    EXPECT_EQ(q, QStringLiteral("encrypt=1&trcode=PDA_T004&UserID=KIM&InqSdate=20240101&InqEdate=20240131"));
    EXPECT_EQ(FormatQuery(QStringLiteral("a=%s&b=%s"), {QStringLiteral("x&y")}), QStringLiteral("a=x%26y&b="));
    EXPECT_EQ(FormatQuery(QStringLiteral("100%"), {}), QStringLiteral("100%"));
}
