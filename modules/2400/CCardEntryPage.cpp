#include "CCardEntryPage.h"

#include <QComboBox>
#include <QLineEdit>

#include "CCardPage.h"
#include "CColorStatic.h"
#include "CNumberKbd.h"
#include "CQV.h"
#include "CTVPB2400.h"
#include "CardRecords.h"
#include "KitKeypad.h"
#include "KitPrompts.h"

CCardEntryPage::CCardEntryPage(int idd, CTVPB2400* screen, int labelWidth)
    : CExTabPage(idd, screen), screen_(screen), labelWidth_(labelWidth)
{
    setFocusPolicy(Qt::ClickFocus);
}

CCardEntryPage::~CCardEntryPage() = default;

CColorStatic* CCardEntryPage::addLabel(const QString& text, int y)
{
    auto* label = new CColorStatic(text, this);
    label->SetBkColor(RGB(192, 192, 192));
    label->SetTextColor(RGB(0, 0, 0));
    label->SetAlignment(DT_LEFT | DT_VCENTER);
    label->setGeometry(2, y, labelWidth_, kHeight);
    return label;
}

void CCardEntryPage::addCardList(int y, int width)
{
    card_ = new QComboBox(this);
    card_->setObjectName(QStringLiteral("cardList"));
    card_->setGeometry(labelWidth_ + 3, y, width, kHeight);
}

void CCardEntryPage::addPassword(int y)
{
    password_ = new QLineEdit(this);
    password_->setObjectName(QStringLiteral("password"));
    password_->setEchoMode(QLineEdit::Password);
    password_->setGeometry(labelWidth_ + 3, y, 60, kHeight);
    keypads_ = new kit::KeypadFields(this, screen_);
    keypads_->Add(password_, QStringLiteral("신용카드 비밀번호"), CNumberKbd::KindSecret, 4, /*clearFirst=*/true);
}

void CCardEntryPage::fillCardList()
{
    CCardPage* held = screen_->CardPage();
    if (!card_ || !held)
        return;
    const QSignalBlocker quiet(card_);
    card_->clear();
    for (const cards::CardRecord& c : held->Cards()) {
        if (c.number.isEmpty())
            break;
        card_->addItem(c.number);
    }
    card_->setCurrentIndex(held->SelectedCard());
}

void CCardEntryPage::selectCardQuietly(int index)
{
    const QSignalBlocker quiet(card_);
    card_->setCurrentIndex(index < card_->count() ? index : -1);
}

bool CCardEntryPage::busy() const
{
    CQV* session = screen_->Session();
    return session && session->IsInUsing();
}

bool CCardEntryPage::cardChosen()
{
    if (card_->currentIndex() >= 0)
        return true;
    ShowMsg(screen_, QStringLiteral("신용카드 선택오류"), false);
    card_->setFocus();
    return false;
}

bool CCardEntryPage::passwordTyped()
{
    if (!password_->text().isEmpty())
        return true;
    ShowMsg(screen_, QStringLiteral("비밀번호 입력오류"), false);
    return false;
}
