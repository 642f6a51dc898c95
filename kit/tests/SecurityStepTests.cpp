#include <gtest/gtest.h>

#include <QLabel>
#include <QWidget>

#include "CNumberKbd.h"
#include "CQV.h"
#include "FakeEngine.h"
#include "KitQuery.h"
#include "ModalScript.h"
#include "SecurityStep.h"
#include "Services.h"

using harness::ModalScript;

namespace {

class KitSecurityStep : public ::testing::Test {
protected:
    void SetUp() override
    {
        CQV::SetEngineForTesting(&engine);
        session.SetVgateProp(QStringLiteral("127.0.0.1"), 443u, 443u);
    }
    void TearDown() override
    {
        CQV::SetEngineForTesting(nullptr);
        platform::setRandomSource({});
    }
    FakeEngine engine;
    CQV session;
    QWidget window;
};

} // namespace

TEST_F(KitSecurityStep, CardUserTypesTheDrawnCell)
{
    int low = 0, high = 0;
    platform::setRandomSource([&](int lo, int hi) {
        low = lo;
        high = hi;
        return 17;
    });
    ModalScript modals;
    QString prompt;
    int kind = 0, maxLen = 0;
    modals.expectDialog(QStringLiteral("CNumberKbd"), [&](QDialog* d) {
        auto* keypad = qobject_cast<CNumberKbd*>(d);
        EXPECT_NE(keypad, nullptr);
        if (!keypad)
            return 2;
        if (auto* label = keypad->findChild<QLabel*>(QStringLiteral("prompt")))
            prompt = label->text();
        kind = keypad->kind();
        maxLen = keypad->maxLength();
        keypad->typeDigits(QStringLiteral("482199")); // stops at four digits
        return 1;
    });
    SecurityFields f;
    SecurityStep step(&window, &session);
    ASSERT_EQ(step.Run(QStringLiteral("S"), f), SecurityStep::Ok);
    modals.verify();
    EXPECT_EQ(low, 1);
    EXPECT_EQ(high, 35);
    EXPECT_EQ(prompt, QStringLiteral("보안카드 17번 입력"));
    EXPECT_EQ(kind, 3);
    EXPECT_EQ(maxLen, 4);
    EXPECT_EQ(f.scrtyWay, QStringLiteral("S"));
    EXPECT_EQ(f.randomNum, QStringLiteral("17"));
    EXPECT_EQ(f.secPwd, QStringLiteral("4821"));
    EXPECT_TRUE(f.signedMsg.isEmpty());
    EXPECT_EQ(engine.signCalls, 0);
    const QString q = BuildQueryC008(QStringLiteral("KIM"), QStringLiteral("9400"), QStringLiteral("12"),
                                     QStringLiteral("300000"), QStringLiteral("20"), QStringLiteral("1101"),
                                     f.scrtyWay, f.randomNum, f.secPwd, f.signedMsg);
    EXPECT_TRUE(q.endsWith(QStringLiteral("&ScrtyWay=S&RandomNum=17&SecPwd=4821&SignedMsg=")));
}

TEST_F(KitSecurityStep, CellIsDrawnAnewEachTime)
{
    int draws = 0;
    platform::setRandomSource([&](int, int) { return ++draws == 1 ? 1 : 35; });
    ModalScript modals;
    QStringList prompts;
    auto answer = [&](QDialog* d) {
        if (auto* label = d->findChild<QLabel*>(QStringLiteral("prompt")))
            prompts << label->text();
        return 2; // cancelled
    };
    modals.expectDialog(QStringLiteral("CNumberKbd"), answer);
    modals.expectDialog(QStringLiteral("CNumberKbd"), answer);
    SecurityFields f;
    SecurityStep step(&window, &session);
    EXPECT_EQ(step.Run(QStringLiteral("S"), f), SecurityStep::Cancelled);
    EXPECT_EQ(step.Run(QStringLiteral("S"), f), SecurityStep::Cancelled);
    modals.verify();
    EXPECT_EQ(prompts, (QStringList{QStringLiteral("보안카드 1번 입력"), QStringLiteral("보안카드 35번 입력")}));
    EXPECT_TRUE(f.randomNum.isEmpty());
    EXPECT_TRUE(f.secPwd.isEmpty());
}

TEST_F(KitSecurityStep, CertificateUserSignsTheTextOne)
{
    ModalScript modals; // the fake engine asks nothing
    SecurityFields f;
    SecurityStep step(&window, &session);
    ASSERT_EQ(step.Run(QStringLiteral("K"), f), SecurityStep::Ok);
    EXPECT_EQ(engine.signCalls, 1);
    EXPECT_EQ(engine.signedData, QStringLiteral("1"));
    EXPECT_EQ(engine.signFlag, 0);
    EXPECT_EQ(engine.signOption, 3L);
    EXPECT_EQ(f.signedMsg, engine.signature);
    EXPECT_TRUE(f.randomNum.isEmpty());
    EXPECT_TRUE(f.secPwd.isEmpty());
    const QString q = BuildQueryL004(QStringLiteral("LEE"), QStringLiteral("1002"), QStringLiteral("1234"),
                                     QStringLiteral("01"), QStringLiteral("5005"), QStringLiteral("20240105"),
                                     f.scrtyWay, f.randomNum, f.secPwd, f.signedMsg);
    EXPECT_TRUE(q.endsWith(QStringLiteral("&ScrtyWay=K&RandomNum=&SecPwd=&SignedMsg=MEUCIQ+sig/=")));
}

TEST_F(KitSecurityStep, EmptySignatureCancels)
{
    engine.signature.clear();
    ModalScript modals;
    SecurityFields f;
    SecurityStep step(&window, &session);
    EXPECT_EQ(step.Run(QStringLiteral("K"), f), SecurityStep::Cancelled);
    EXPECT_TRUE(modals.seen().isEmpty());
}

TEST_F(KitSecurityStep, OtherMeansAreRefused)
{
    ModalScript modals;
    modals.expectMessage(QStringLiteral("처리할수 없는 보안수단입니다"), QStringLiteral("오류"));
    modals.expectMessage(QStringLiteral("처리할수 없는 보안수단입니다"), QStringLiteral("오류"));
    SecurityFields f;
    SecurityStep step(&window, &session);
    EXPECT_EQ(step.Run(QStringLiteral("X"), f), SecurityStep::Refused);
    EXPECT_EQ(step.Run(QString(), f), SecurityStep::Refused);
    modals.verify();
    EXPECT_EQ(engine.signCalls, 0);
}

TEST_F(KitSecurityStep, LoanPaymentAndCashServiceSendTheDrawnCellForCertificateUsersToo)
{
    int draws = 0;
    platform::setRandomSource([&](int lo, int hi) {
        ++draws;
        EXPECT_EQ(lo, 1);
        EXPECT_EQ(hi, 35);
        return 23;
    });
    ModalScript modals;
    SecurityFields f;
    SecurityStep step(&window, &session);
    step.SetCellForBothMeans(true);
    ASSERT_EQ(step.Run(QStringLiteral("K"), f), SecurityStep::Ok);
    EXPECT_EQ(draws, 1);
    EXPECT_EQ(f.randomNum, QStringLiteral("23"));
    EXPECT_TRUE(f.secPwd.isEmpty());
    EXPECT_EQ(f.signedMsg, engine.signature);
    const QString q = BuildQueryC008(QStringLiteral("LEE"), QStringLiteral("9400"), QStringLiteral("12"),
                                     QStringLiteral("300000"), QStringLiteral("20"), QStringLiteral("1101"),
                                     f.scrtyWay, f.randomNum, f.secPwd, f.signedMsg);
    EXPECT_TRUE(q.endsWith(QStringLiteral("&ScrtyWay=K&RandomNum=23&SecPwd=&SignedMsg=MEUCIQ+sig/=")));

    // A cancelled signature sends nothing, drawn cell or not.
    engine.signature.clear();
    EXPECT_EQ(step.Run(QStringLiteral("K"), f), SecurityStep::Cancelled);
    EXPECT_TRUE(f.randomNum.isEmpty());

    // The card user is asked for the same kind of cell as ever.
    modals.expectDialog(QStringLiteral("CNumberKbd"), [](QDialog* d) {
        qobject_cast<CNumberKbd*>(d)->typeDigits(QStringLiteral("0042"));
        return 1;
    });
    ASSERT_EQ(step.Run(QStringLiteral("S"), f), SecurityStep::Ok);
    modals.verify();
    EXPECT_EQ(f.randomNum, QStringLiteral("23"));
    EXPECT_EQ(f.secPwd, QStringLiteral("0042"));
}
