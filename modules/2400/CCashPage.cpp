#include "CCashPage.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include "CBmpButton.h"
#include "CCardPage.h"
#include "CCashConfirmDlg.h"
#include "CColorStatic.h"
#include "CNumberKbd.h"
#include "CQV.h"
#include "CTVPB2400.h"
#include "CardRecords.h"
#include "KitKeypad.h"
#include "KitPrompts.h"

namespace {
constexpr int kLabelWidth = 60;
constexpr int kFieldX = 63;
constexpr int kFieldWidth = 173;
constexpr int kRow = 26;
constexpr int kHeight = 22;
} // namespace

CCashPage::CCashPage(CTVPB2400* screen) : CExTabPage(IDD, screen), screen_(screen)
{
    setFocusPolicy(Qt::ClickFocus);
}

CCashPage::~CCashPage() = default;

CColorStatic* CCashPage::addLabel(const QString& text, int y)
{
    auto* label = new CColorStatic(text, this);
    label->SetBkColor(RGB(192, 192, 192));
    label->SetTextColor(RGB(0, 0, 0));
    label->SetAlignment(DT_LEFT | DT_VCENTER);
    label->setGeometry(2, y, kLabelWidth, kHeight);
    return label;
}

BOOL CCashPage::OnInitDialog()
{
    int y = 6;
    addLabel(QStringLiteral("  신용카드"), y)->setObjectName(QStringLiteral("lblCard"));
    card_ = new QComboBox(this);
    card_->setObjectName(QStringLiteral("cardList"));
    card_->setGeometry(kFieldX, y, kFieldWidth, kHeight);
    connect(card_, &QComboBox::currentIndexChanged, this, &CCashPage::OnCardChanged);

    y += kRow;
    addLabel(QStringLiteral("  비밀번호"), y)->setObjectName(QStringLiteral("lblPassword"));
    password_ = new QLineEdit(this);
    password_->setObjectName(QStringLiteral("password"));
    password_->setEchoMode(QLineEdit::Password);
    password_->setGeometry(kFieldX, y, 60, kHeight);

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

    keypads_ = new kit::KeypadFields(this, screen_);
    keypads_->Add(password_, QStringLiteral("신용카드 비밀번호"), CNumberKbd::KindSecret, 4, /*clearFirst=*/true);
    keypads_->Add(amount_, QStringLiteral("이체금액"), CNumberKbd::KindAmount);
    return TRUE;
}

void CCashPage::FillCards(bool withDeposit)
{
    CCardPage* held = screen_->CardPage();
    if (!card_ || !held)
        return;
    card_->blockSignals(true);
    card_->clear();
    for (const cards::CardRecord& c : held->Cards()) {
        if (c.number.isEmpty())
            break;
        card_->addItem(c.number);
    }
    card_->setCurrentIndex(held->SelectedCard());
    card_->blockSignals(false);
    deposit_->clear();
    if (withDeposit)
        OnCardChanged(card_->currentIndex());
}

void CCashPage::SelectCard(int index)
{
    if (!card_)
        return;
    card_->blockSignals(true);
    card_->setCurrentIndex(index < card_->count() ? index : -1);
    card_->blockSignals(false);
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
    CQV* session = screen_->Session();
    if (session && session->IsInUsing())
        return;
    if (card_->currentIndex() < 0) {
        ShowMsg(screen_, QStringLiteral("신용카드 선택오류"), false);
        card_->setFocus();
        return;
    }
    const QString password = password_->text();
    if (password.isEmpty()) {
        ShowMsg(screen_, QStringLiteral("비밀번호 입력오류"), false);
        return;
    }
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
