#include "CCashPage.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include "CBmpButton.h"
#include "CCardPage.h"
#include "CCashConfirmDlg.h"
#include "CColorStatic.h"
#include "CNumberKbd.h"
#include "CTVPB2400.h"
#include "CardRecords.h"
#include "KitKeypad.h"
#include "KitPrompts.h"

namespace {
constexpr int kLabelWidth = 60;
constexpr int kFieldX = kLabelWidth + 3;
constexpr int kFieldWidth = 173;
} // namespace

CCashPage::CCashPage(CTVPB2400* screen) : CCardEntryPage(IDD, screen, kLabelWidth) {}

CCashPage::~CCashPage() = default;

BOOL CCashPage::OnInitDialog()
{
    int y = 6;
    addLabel(QStringLiteral("  신용카드"), y)->setObjectName(QStringLiteral("lblCard"));
    addCardList(y, kFieldWidth);
    connect(card_, &QComboBox::currentIndexChanged, this, &CCashPage::OnCardChanged);

    y += kRow;
    addLabel(QStringLiteral("  비밀번호"), y)->setObjectName(QStringLiteral("lblPassword"));
    addPassword(y);

    y += kRow;
    addLabel(QStringLiteral("  입금계좌"), y)->setObjectName(QStringLiteral("lblDeposit"));
    deposit_ = new QComboBox(this);
    deposit_->setObjectName(QStringLiteral("depositList"));
    deposit_->setGeometry(kFieldX, y, kFieldWidth, kHeight);

    y += kRow;
    addLabel(QStringLiteral("  이체금액"), y)->setObjectName(QStringLiteral("lblAmount"));
    amount_ = new QLineEdit(this);
    amount_->setObjectName(QStringLiteral("amount"));
    amount_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    amount_->setGeometry(kFieldX, y, kFieldWidth - 18, kHeight);
    auto* unit = new QLabel(QStringLiteral("원"), this);
    unit->setGeometry(kFieldX + kFieldWidth - 16, y, 16, kHeight);

    y += kRow + 6;
    auto* transfer = new CBmpButton(this);
    transfer->setObjectName(QStringLiteral("btnTransfer"));
    transfer->LoadBitmap(QStringLiteral("BMP\\이체_4524.bmp"), QStringLiteral("BMP\\이체_4524_d.bmp"), QString());
    transfer->setGeometry(70, y, 45, 24);
    connect(transfer, &QAbstractButton::clicked, this, &CCashPage::On249001);
    auto* reset = new CBmpButton(this);
    reset->setObjectName(QStringLiteral("btnReset"));
    reset->LoadBitmap(QStringLiteral("BMP\\취소_4524.bmp"), QStringLiteral("BMP\\취소_4524_d.bmp"), QString());
    reset->setGeometry(125, y, 45, 24);
    connect(reset, &QAbstractButton::clicked, this, &CCashPage::On249002);

    keypads_->Add(amount_, QStringLiteral("이체금액"), CNumberKbd::KindAmount);
    return TRUE;
}

void CCashPage::FillCards(bool withDeposit)
{
    if (!card_ || !screen_->CardPage())
        return;
    fillCardList();
    deposit_->clear();
    if (withDeposit)
        OnCardChanged(card_->currentIndex());
}

void CCashPage::SelectCard(int index)
{
    if (!card_)
        return;
    selectCardQuietly(index);
    OnCardChanged(card_->currentIndex());
}

void CCashPage::OnCardChanged(int index)
{
    // The deposit account list only ever holds the chosen card's settlement account.
    deposit_->clear();
    if (index < 0)
        return;
    const QString number = card_->itemText(index);
    for (const cards::CardRecord& c : screen_->CardPage()->Cards()) {
        if (c.number.isEmpty())
            break;
        if (c.number == number) {
            deposit_->addItem(c.settlement);
            deposit_->setCurrentIndex(0);
            return;
        }
    }
}

void CCashPage::On249001()
{
    if (busy() || !cardChosen() || !passwordTyped())
        return;
    const QString password = password_->text();
    if (deposit_->currentIndex() < 0) {
        ShowMsg(screen_, QStringLiteral("입금계좌 선택오류"), false);
        deposit_->setFocus();
        return;
    }
    // Digits and "," only, and not nothing or zero.
    if (cards::CashAmount(amount_->text()).isEmpty()) {
        ShowMsg(screen_, QStringLiteral("이체금액 입력오류"), false);
        return;
    }
    {
        CCashConfirmDlg dlg(screen_, card_->currentText(), deposit_->currentText(), password, amount_->text());
        dlg.DoModal();
    }
    // Whatever the outcome, the secret and the amount go.
    password_->clear();
    amount_->clear();
}

void CCashPage::On249002()
{
    password_->clear();
    amount_->clear();
    card_->blockSignals(true);
    card_->setCurrentIndex(-1);
    card_->blockSignals(false);
    deposit_->setCurrentIndex(-1);
}
