// The number keypad: what each kind shows and returns, and how it ends.
#include <QAbstractButton>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

#include "CNumberKbd.h"
#include "ModalScript.h"

namespace {

QString shown(const CNumberKbd& k)
{
    return k.findChild<QLabel*>(QStringLiteral("display"))->text();
}

void tap(QDialog* d, const char* key)
{
    auto* b = d->findChild<QAbstractButton*>(QString::fromLatin1(key));
    ASSERT_NE(b, nullptr) << key;
    QTest::mouseClick(b, Qt::LeftButton);
}

TEST(Keypad, DigitsKindShowsAndReturnsTheDigitsAsTyped)
{
    CNumberKbd k;
    k.SetWorkProp(QStringLiteral("입금계좌"), 1);
    k.typeDigits(QStringLiteral("0012345678901"));
    EXPECT_EQ(shown(k), QStringLiteral("0012345678901"));
    EXPECT_EQ(k.GetFormatedData(1), QStringLiteral("0012345678901"));
    EXPECT_EQ(k.GetFormatedData(0), QStringLiteral("0012345678901"));
    EXPECT_EQ(k.findChild<QLabel*>(QStringLiteral("prompt"))->text(), QStringLiteral("입금계좌"));
}

TEST(Keypad, ResidentNumberStopsAtThirteenDigits)
{
    CNumberKbd k;
    k.SetWorkProp(QStringLiteral("주민등록번호"), 1, 13);
    k.typeDigits(QStringLiteral("80010112345678"));
    EXPECT_EQ(k.GetFormatedData(0), QStringLiteral("8001011234567"));
    EXPECT_EQ(k.maxLength(), 13);
}

TEST(Keypad, AmountKindGroupsThousandsWhileTyping)
{
    CNumberKbd k;
    k.SetWorkProp(QStringLiteral("거래금액"), 2);
    k.typeDigits(QStringLiteral("123"));
    EXPECT_EQ(shown(k), QStringLiteral("123"));
    k.typeDigits(QStringLiteral("4"));
    EXPECT_EQ(shown(k), QStringLiteral("1,234"));
    k.typeDigits(QStringLiteral("567"));
    EXPECT_EQ(shown(k), QStringLiteral("1,234,567"));
    EXPECT_EQ(k.GetFormatedData(1), QStringLiteral("1,234,567"));
    EXPECT_EQ(k.GetFormatedData(0), QStringLiteral("1234567"));
    k.pressKey(QStringLiteral("keyBack"));
    EXPECT_EQ(shown(k), QStringLiteral("123,456"));
}

TEST(Keypad, AmountNeverKeepsLeadingZeros)
{
    CNumberKbd k;
    k.SetWorkProp(QStringLiteral("거래금액"), 2);
    k.typeDigits(QStringLiteral("0"));
    EXPECT_EQ(k.GetFormatedData(1), QStringLiteral("0"));
    k.typeDigits(QStringLiteral("0005000"));
    EXPECT_EQ(k.GetFormatedData(1), QStringLiteral("5,000"));
    EXPECT_EQ(k.GetFormatedData(0), QStringLiteral("5000"));
}

TEST(Keypad, AmountSeparatorsAtEveryLength)
{
    EXPECT_EQ(CNumberKbd::withSeparators(QString()), QString());
    EXPECT_EQ(CNumberKbd::withSeparators(QStringLiteral("1")), QStringLiteral("1"));
    EXPECT_EQ(CNumberKbd::withSeparators(QStringLiteral("100")), QStringLiteral("100"));
    EXPECT_EQ(CNumberKbd::withSeparators(QStringLiteral("1000")), QStringLiteral("1,000"));
    EXPECT_EQ(CNumberKbd::withSeparators(QStringLiteral("100000")), QStringLiteral("100,000"));
    EXPECT_EQ(CNumberKbd::withSeparators(QStringLiteral("1000000")), QStringLiteral("1,000,000"));
}

TEST(Keypad, SecretKindMasksEveryDigitAndStopsAtItsLength)
{
    CNumberKbd k;
    k.SetWorkProp(QStringLiteral("비밀번호"), 3, 4);
    k.typeDigits(QStringLiteral("98"));
    EXPECT_EQ(shown(k), QStringLiteral("**"));
    k.typeDigits(QStringLiteral("7654"));
    EXPECT_EQ(shown(k), QStringLiteral("****"));
    EXPECT_EQ(k.GetFormatedData(1), QStringLiteral("9876"));
    EXPECT_EQ(k.GetFormatedData(0), QStringLiteral("9876"));
    // No digit of the secret is ever on the screen.
    for (QChar c : shown(k))
        EXPECT_FALSE(c.isDigit());
}

TEST(Keypad, ClearAndBackspaceKeys)
{
    CNumberKbd k;
    k.SetWorkProp(QStringLiteral("집금번호"), 1);
    k.typeDigits(QStringLiteral("4321"));
    ASSERT_TRUE(k.pressKey(QStringLiteral("keyBack")));
    EXPECT_EQ(k.GetFormatedData(1), QStringLiteral("432"));
    ASSERT_TRUE(k.pressKey(QStringLiteral("keyClear")));
    EXPECT_EQ(k.GetFormatedData(1), QString());
    k.pressKey(QStringLiteral("keyBack")); // nothing left to remove
    EXPECT_EQ(k.GetFormatedData(1), QString());
    EXPECT_FALSE(k.pressKey(QStringLiteral("keyNoSuchKey")));
}

TEST(Keypad, SetWorkPropStartsEmptyAgain)
{
    CNumberKbd k;
    k.SetWorkProp(QStringLiteral("비밀번호"), 3, 4);
    k.typeDigits(QStringLiteral("1234"));
    k.SetWorkProp(QStringLiteral("받는분 전화번호"), 1);
    EXPECT_EQ(k.GetFormatedData(1), QString());
    EXPECT_EQ(k.kind(), 1);
    EXPECT_EQ(k.maxLength(), 20);
}

TEST(Keypad, HardwareDigitKeysTypeToo)
{
    CNumberKbd k;
    k.SetWorkProp(QStringLiteral("거래금액"), 2);
    k.show();
    QTest::keyClicks(&k, QStringLiteral("25000"));
    QTest::keyClick(&k, Qt::Key_Backspace);
    EXPECT_EQ(k.GetFormatedData(1), QStringLiteral("2,500"));
}

TEST(Keypad, OkReturnsOneWithTheEnteredText)
{
    harness::ModalScript modals;
    modals.expectDialog(QStringLiteral("CNumberKbd"), [](QDialog* d) {
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(d->size(), QSize(240, 294));
        tap(d, "key1");
        tap(d, "key0");
        tap(d, "key0");
        tap(d, "key0");
        tap(d, "keyOk");
        return d->result();
    });
    CNumberKbd k;
    k.SetWorkProp(QStringLiteral("이체금액"), 2);
    EXPECT_EQ(k.DoModal(), 1);
    EXPECT_EQ(k.GetFormatedData(1), QStringLiteral("1,000"));
    modals.verify();
}

TEST(Keypad, CancelDoesNotReturnOne)
{
    harness::ModalScript modals;
    modals.expectDialog(QStringLiteral("CNumberKbd"), [](QDialog* d) {
        tap(d, "key5");
        tap(d, "keyCancel");
        return d->result();
    });
    CNumberKbd k;
    k.SetWorkProp(QStringLiteral("보안카드 7번 입력"), 3, 4);
    EXPECT_EQ(k.DoModal(), 2);
    modals.verify();
}

TEST(Keypad, EnterAndEscapeDoNotCloseIt)
{
    harness::ModalScript modals;
    modals.expectDialog(QStringLiteral("CNumberKbd"), [](QDialog* d) {
        tap(d, "key3");
        QTest::keyClick(d, Qt::Key_Escape);
        QTest::keyClick(d, Qt::Key_Return);
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(d->result(), 0);
        tap(d, "keyOk");
        return d->result();
    });
    CNumberKbd k;
    k.SetWorkProp(QStringLiteral("계좌 비밀번호"), 3, 4);
    EXPECT_EQ(k.DoModal(), 1);
    EXPECT_EQ(k.GetFormatedData(1), QStringLiteral("3"));
    modals.verify();
}

} // namespace
