#include "CSchedulePage.h"

#include "CBmpButton.h"
#include "CGridCtrl.h"
#include "CQV.h"
#include "CScheduleDetailDlg.h"
#include "CTVPB2200.h"
#include "CUserInfo.h"
#include "KitCodeTables.h"
#include "KitGrid.h"
#include "KitQuery.h"
#include "KitReply.h"
#include "KitRequest.h"
#include "KitSort.h"
#include "Modal.h"

namespace {
const QString kDone = QStringLiteral("정상처리");

QString resultText(const QString& code)
{
    if (code.isEmpty())
        return QStringLiteral("미처리");
    if (code == QLatin1String("0000"))
        return kDone;
    return QStringLiteral("오류[") + code + QLatin1Char(']');
}
} // namespace

CSchedulePage::CSchedulePage(CTVPB2200* screen) : CExTabPage(IDD, screen), screen_(screen) {}

CSchedulePage::~CSchedulePage() = default;

BOOL CSchedulePage::OnInitDialog()
{
    auto button = [this](const char* name, const QString& image, int x, int w, void (CSchedulePage::*slot)()) {
        auto* b = new CBmpButton(this);
        b->setObjectName(QString::fromLatin1(name));
        b->LoadBitmap(QStringLiteral("BMP\\%1.bmp").arg(image), QStringLiteral("BMP\\%1_d.bmp").arg(image), QString());
        b->setGeometry(x, 2, w, 24);
        connect(b, &QAbstractButton::clicked, this, slot);
    };
    button("btnReload", QStringLiteral("이전으로_3224"), 90, 32, &CSchedulePage::OnReload);
    button("btnDetail", QStringLiteral("상세_4524"), 126, 45, &CSchedulePage::OnDetail);
    button("btnDelete", QStringLiteral("삭제_4524"), 175, 45, &CSchedulePage::OnDelete);

    grid_ = new CGridCtrl(this);
    grid_->setObjectName(QStringLiteral("scheduleGrid"));
    grid_->setGeometry(0, 30, 238, 208);
    hidden_ = new CGridCtrl(this);
    hidden_->setObjectName(QStringLiteral("scheduleHiddenGrid"));
    hidden_->setGeometry(0, 30, 238, 208);
    hidden_->hide();
    layoutGrids(0);
    return TRUE;
}

void CSchedulePage::layoutGrids(int records)
{
    const bool few = records <= kMinRows;
    const int rows = few ? kMinRows : records;
    kit::LayoutListGrid(grid_,
                             {QStringLiteral("이체일"), QStringLiteral("입금은행/계좌"), QStringLiteral("결과"),
                              QStringLiteral("입금은행"), QStringLiteral("입금계좌")},
                             few ? QList<int>{65, 177, 50, 0, 0} : QList<int>{65, 165, 50, 0, 0}, rows, few);
    kit::LayoutListGrid(hidden_,
                             {QStringLiteral("출금계좌"), QStringLiteral("거래금액"), QStringLiteral("받는분"),
                              QStringLiteral("일련번호")},
                             {60, 60, 60, 60}, rows, false);
}

bool CSchedulePage::request(bool checkBusy)
{
    CUserInfo* user = screen_->User();
    KitRequest req = screen_->Request(screen_);
    req.SetCheckBusy(checkBusy);
    QString reply;
    if (!req.SendPlain(FormatQuery(QStringLiteral("encrypt=1&trcode=PDA_T006&UserID=%s"),
                                   {user ? user->GetUserID() : QString()}),
                       reply, false))
        return false;
    reply_ = reply;
    // The grids show this answer only: after the last scheduled transfer is
    // deleted the list is empty.
    const QList<QStringList> records = NewestFirst(kit::ListRecords(reply, 8));
    records_ = static_cast<int>(records.size());
    layoutGrids(records_);
    for (int i = 0; i < records_; ++i) {
        const QStringList& r = records[i];
        const QString bank = ZentabNameOf(r[3]);
        grid_->SetItemText(i + 1, ColDate, r[0]);
        grid_->SetItemText(i + 1, ColBankAccount, QStringLiteral("%1/%2").arg(bank, r[4]));
        grid_->SetItemText(i + 1, ColResult, resultText(r[7]));
        grid_->SetItemText(i + 1, ColBank, bank);
        grid_->SetItemText(i + 1, ColAccount, r[4]);
        hidden_->SetItemText(i + 1, HidSource, r[2]);
        hidden_->SetItemText(i + 1, HidAmount, r[6]);
        hidden_->SetItemText(i + 1, HidRecipient, r[5]);
        hidden_->SetItemText(i + 1, HidSerial, r[1]);
    }
    // The long bank/account column gives way so that "결과" stays in view.
    if (records_ > 0)
        kit::AutoSizeToWidth(grid_, ColBankAccount);
    return true;
}

void CSchedulePage::LoadList()
{
    if (screen_->Session() && screen_->Session()->IsInUsing())
        return;
    request(/*checkBusy=*/false);
}

void CSchedulePage::OnReload()
{
    if (screen_->Session() && screen_->Session()->IsInUsing())
        return;
    request(/*checkBusy=*/true);
}

void CSchedulePage::OnDetail()
{
    const int row = kit::FirstSelectedRow(grid_);
    if (row < 0) {
        platform::messageBox(screen_, QStringLiteral("계좌를 선택해 주세요"), QStringLiteral("선택 오류"),
                             platform::MB_OK);
        return;
    }
    CScheduleDetailDlg dlg(screen_,
                           {grid_->GetItemText(row, ColDate), hidden_->GetItemText(row, HidSource),
                            grid_->GetItemText(row, ColBank), grid_->GetItemText(row, ColAccount),
                            hidden_->GetItemText(row, HidAmount), hidden_->GetItemText(row, HidRecipient),
                            hidden_->GetItemText(row, HidSerial), grid_->GetItemText(row, ColResult)});
    dlg.DoModal();
}

void CSchedulePage::OnDelete()
{
    if (screen_->Session() && screen_->Session()->IsInUsing())
        return;
    const int row = kit::FirstSelectedRow(grid_);
    if (row < 0) {
        platform::messageBox(screen_, QStringLiteral("계좌를 선택해 주세요"), QStringLiteral("선택 오류"),
                             platform::MB_OK);
        return;
    }
    if (grid_->GetItemText(row, ColResult) == kDone) {
        platform::messageBox(screen_, QStringLiteral("이미 이체가 처리된 건은 삭제할 수 없습니다"),
                             QStringLiteral("삭제 불가"), platform::MB_OK);
        return;
    }
    const QString date = grid_->GetItemText(row, ColDate);
    if (platform::messageBox(screen_, QStringLiteral("%1의 예약 이체를 삭제하시겠습니까?").arg(date),
                             QStringLiteral("예약이체 삭제"),
                             platform::MB_YESNO | platform::MB_ICONQUESTION | platform::MB_DEFBUTTON2) !=
        platform::IDYES)
        return;
    CUserInfo* user = screen_->User();
    KitRequest req = screen_->Request(screen_);
    QString reply;
    if (!req.SendPlain(FormatQuery(QStringLiteral("encrypt=1&trcode=PDA_T007&UserID=%s&IcheExecDay=%s&IcheSeqNo=%s"),
                                   {user ? user->GetUserID() : QString(), date, hidden_->GetItemText(row, HidSerial)}),
                       reply, /*showSuccess=*/true))
        return;
    if (!request(/*checkBusy=*/false)) {
        records_ = 0;
        layoutGrids(0);
    }
}
