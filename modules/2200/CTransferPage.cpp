#include "CTransferPage.h"

#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>

#include "CBmpButton.h"
#include "CColorStatic.h"
#include "CFavouriteDlg.h"
#include "CNumberKbd.h"
#include "CQV.h"
#include "CTVPB2200.h"
#include "CTransferConfirmDlg.h"
#include "CUserInfo.h"
#include "KitCodeTables.h"
#include "KitDates.h"
#include "KitFields.h"
#include "KitKeypad.h"
#include "KitPrompts.h"
#include "KitQuery.h"
#include "KitReply.h"
#include "KitRequest.h"
#include "Modal.h"
#include "Services.h"

namespace {
// The two placeholders of a fresh form, made when the library loads.
const QString g_senderPlaceholder = QStringLiteral("(미입력시 예금주명)");
const QString g_cmsPlaceholder = QStringLiteral("(필요시 입력)");

constexpr int kLabelWidth = 54;
constexpr int kFieldX = 58;
constexpr int kFieldWidth = 178;
constexpr int kRow = 24;
constexpr int kHeight = 22;
} // namespace

QString CTransferPage::SenderPlaceholder()
{
    return g_senderPlaceholder;
}

QString CTransferPage::CmsPlaceholder()
{
    return g_cmsPlaceholder;
}

CTransferPage::CTransferPage(CTVPB2200* screen) : CExTabPage(IDD, screen), screen_(screen)
{
    setFocusPolicy(Qt::ClickFocus);
}

CTransferPage::~CTransferPage() = default;

CColorStatic* CTransferPage::addLabel(const QString& text, int y, bool required)
{
    auto* label = new CColorStatic(text, this);
    label->SetBkColor(required ? RGB(181, 178, 181) : RGB(222, 223, 222));
    label->SetTextColor(RGB(0, 0, 0));
    label->SetAlignment(DT_CENTER | DT_VCENTER);
    label->setGeometry(2, y, kLabelWidth, kHeight);
    return label;
}

QLineEdit* CTransferPage::addEdit(const QString& name, int y, bool masked)
{
    auto* edit = new QLineEdit(this);
    edit->setObjectName(name);
    edit->setGeometry(kFieldX, y, kFieldWidth, kHeight);
    if (masked)
        edit->setEchoMode(QLineEdit::Password);
    return edit;
}

BOOL CTransferPage::OnInitDialog()
{
    int y = 2;
    addLabel(QStringLiteral("출금계좌"), y, true)->setObjectName(QStringLiteral("lblSource"));
    source_ = new QComboBox(this);
    source_->setObjectName(QStringLiteral("sourceList"));
    source_->setGeometry(kFieldX, y, kFieldWidth, kHeight);

    y += kRow;
    addLabel(QStringLiteral("비밀번호"), y, true)->setObjectName(QStringLiteral("lblPassword"));
    password_ = addEdit(QStringLiteral("password"), y, true);
    // Four masked digits need little room; the hint must end before the
    // favourites button starts.
    password_->setGeometry(kFieldX, y, 40, kHeight);
    auto* hint = new QLabel(QStringLiteral("(숫자만)"), this);
    hint->setObjectName(QStringLiteral("passwordHint"));
    hint->setGeometry(kFieldX + 42, y, 46, kHeight);
    favourites_ = new CBmpButton(this);
    favourites_->setObjectName(QStringLiteral("btnFavourites"));
    favourites_->LoadBitmap(QStringLiteral("BMP\\자주쓰는입금계좌_9024.bmp"),
                            QStringLiteral("BMP\\자주쓰는입금계좌_9024_d.bmp"), QString());
    favourites_->setGeometry(146, y - 1, 90, 24);
    connect(favourites_, &QAbstractButton::clicked, this, &CTransferPage::OnFavourites);

    y += kRow;
    addLabel(QStringLiteral("입금은행"), y, true)->setObjectName(QStringLiteral("lblBank"));
    bank_ = new QComboBox(this);
    bank_->setObjectName(QStringLiteral("bankList"));
    bank_->setGeometry(kFieldX, y, kFieldWidth, kHeight);
    FillZentabCombo(bank_);
    bank_->setCurrentIndex(-1);

    y += kRow;
    addLabel(QStringLiteral("입금계좌"), y, true)->setObjectName(QStringLiteral("lblDeposit"));
    deposit_ = addEdit(QStringLiteral("depositAccount"), y);
    deposit_->setPlaceholderText(QStringLiteral("('-'없이)"));

    y += kRow;
    addLabel(QStringLiteral("거래금액"), y, true)->setObjectName(QStringLiteral("lblAmount"));
    amount_ = addEdit(QStringLiteral("amount"), y);
    amount_->setGeometry(kFieldX, y, kFieldWidth - 18, kHeight);
    amount_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* unit = new QLabel(QStringLiteral("원"), this);
    unit->setGeometry(kFieldX + kFieldWidth - 16, y, 16, kHeight);

    y += kRow;
    addLabel(QStringLiteral("보내는분"), y, false)->setObjectName(QStringLiteral("lblSender"));
    sender_ = addEdit(QStringLiteral("sender"), y);
    sender_->installEventFilter(this);

    y += kRow;
    addLabel(QStringLiteral("받는분"), y, false)->setObjectName(QStringLiteral("lblPhone"));
    phone_ = addEdit(QStringLiteral("phone"), y);
    phone_->setPlaceholderText(QStringLiteral("('-'없이)"));

    y += kRow;
    addLabel(QStringLiteral("집금번호"), y, false)->setObjectName(QStringLiteral("lblCms"));
    cms_ = addEdit(QStringLiteral("cms"), y);

    y += kRow;
    addLabel(QStringLiteral("이체일자"), y, false)->setObjectName(QStringLiteral("lblDate"));
    date_ = new QDateEdit(this);
    date_->setObjectName(QStringLiteral("transferDate"));
    date_->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    date_->setCalendarPopup(true);
    date_->setGeometry(kFieldX, y, 110, kHeight);
    confirm_ = new CBmpButton(this);
    confirm_->setObjectName(QStringLiteral("btnTransfer"));
    confirm_->LoadBitmap(QStringLiteral("BMP\\확인_4524.bmp"), QStringLiteral("BMP\\확인_4524_d.bmp"), QString());
    confirm_->setGeometry(191, y - 1, 45, 24);
    connect(confirm_, &QAbstractButton::clicked, this, &CTransferPage::OnTransfer);

    // The number fields open the keypad when entered.
    keypads_ = new kit::KeypadFields(this, screen_);
    keypads_->Add(password_, QStringLiteral("비밀번호"), CNumberKbd::KindSecret, 4, /*clearFirst=*/true);
    keypads_->Add(deposit_, QStringLiteral("입금계좌"), CNumberKbd::KindNumber, -1, /*clearFirst=*/true);
    keypads_->Add(amount_, QStringLiteral("거래금액"), CNumberKbd::KindAmount);
    keypads_->Add(phone_, QStringLiteral("받는분 전화번호"), CNumberKbd::KindNumber);
    keypads_->Add(cms_, QStringLiteral("집금번호"), CNumberKbd::KindNumber);

    ResetForm();
    return TRUE;
}

void CTransferPage::ResetForm()
{
    source_->setCurrentIndex(-1);
    bank_->setCurrentIndex(-1);
    password_->clear();
    deposit_->clear();
    amount_->clear();
    phone_->clear();
    sender_->setText(g_senderPlaceholder);
    cms_->setText(g_cmsPlaceholder);
    date_->setDate(platform::now().date());
    reply_.clear();
}

void CTransferPage::LoadSourceAccounts()
{
    CUserInfo* user = screen_->User();
    KitRequest request = screen_->Request(screen_);
    request.SetCheckBusy(false);
    QString reply;
    const QString query = FormatQuery(QStringLiteral("encrypt=1&trcode=PDA_A003&UserID=%s"),
                                      {user ? user->GetUserID() : QString()});
    if (!request.SendPlain(query, reply, false)) {
        source_->clear();
        return;
    }
    reply_ = reply;
    source_->clear();
    const QList<QStringList> records = kit::ListRecords(reply, 5);
    sourceRecords_ = static_cast<int>(records.size());
    for (const QStringList& r : records)
        if (r[3] == QLatin1String("1") || r[3] == QLatin1String("3"))
            source_->addItem(r[1]);
    source_->setCurrentIndex(-1);
}

bool CTransferPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == sender_ && !keypads_->IsOpen()) {
        if (event->type() == QEvent::FocusIn) {
            if (sender_->text() == g_senderPlaceholder)
                sender_->clear();
            senderFocus_ = true;
            platform::setInputPanelVisible(true);
        } else if (event->type() == QEvent::FocusOut) {
            senderFocus_ = false;
            platform::setInputPanelVisible(false);
        }
    }
    return CExTabPage::eventFilter(watched, event);
}

void CTransferPage::OnFavourites()
{
    if (KitRequest::IsBusy(screen_->Session(), screen_->Download()))
        return;
    CFavouriteDlg dlg(screen_);
    if (dlg.DoModal() == platform::IDOK) {
        deposit_->setText(dlg.SelectedAccount());
        const QString name = dlg.SelectedBankName();
        bank_->setCurrentIndex(name.isEmpty() ? -1 : bank_->findText(name, Qt::MatchStartsWith));
    } else {
        deposit_->clear();
    }
}

void CTransferPage::OnTransfer()
{
    if (screen_->Session() && screen_->Session()->IsInUsing())
        return;
    if (source_->currentIndex() < 0) {
        ShowMsg(screen_, QStringLiteral("출금계좌 선택 오류"), false);
        source_->setFocus();
        return;
    }
    if (password_->text().isEmpty()) {
        ShowMsg(screen_, QStringLiteral("비밀번호 입력 오류"), false);
        return;
    }
    if (bank_->currentIndex() < 0) {
        ShowMsg(screen_, QStringLiteral("입금은행 선택 오류"), false);
        bank_->setFocus();
        return;
    }
    if (deposit_->text().isEmpty()) {
        ShowMsg(screen_, QStringLiteral("입금계좌 입력 오류"), false);
        return;
    }
    if (amount_->text().isEmpty() || amount_->text() == QLatin1String("0")) {
        ShowMsg(screen_, QStringLiteral("거래금액 입력 오류"), false);
        return;
    }
    const QString execDate = kit::Ymd(date_->date());
    const QString sender = sender_->text() == g_senderPlaceholder ? QString() : sender_->text();
    const QString cms = cms_->text() == g_cmsPlaceholder ? QString() : cms_->text();
    CUserInfo* user = screen_->User();
    const QString query = FormatQuery(
        QStringLiteral("encrypt=1&trcode=PDA_T001&UserID=%s&WthrwAccNO=%s&AccPwd=%s&DepstBankCD=%s&DepstAccNO=%s"
                       "&TranMny=%s&Sender=%s&CMSCD=%s&IcheExecdate=%s"),
        {user ? user->GetUserID() : QString(), kit::WithoutDashes(source_->currentText()),
         password_->text(), ZentabCodeOf(bank_->currentText()), kit::WithoutDashes(deposit_->text()),
         QString(amount_->text()).remove(QLatin1Char(',')), sender, cms, execDate});

    KitRequest request = screen_->Request(screen_);
    QString reply;
    if (!request.SendPlain(query, reply, false))
        return;
    reply_ = reply;
    {
        CTransferConfirmDlg confirm(screen_, reply, phone_->text());
        confirm.DoModal();
    }
    ResetForm();
}
