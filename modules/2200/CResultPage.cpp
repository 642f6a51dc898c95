#include "CResultPage.h"

#include <QComboBox>
#include <QDateEdit>

#include "CBmpButton.h"
#include "CColorStatic.h"
#include "CGridCtrl.h"
#include "CQV.h"
#include "CResultDetailDlg.h"
#include "CTVPB2200.h"
#include "CUserInfo.h"
#include "KitAmount.h"
#include "KitCodeTables.h"
#include "KitDates.h"
#include "KitGrid.h"
#include "KitQuery.h"
#include "KitReply.h"
#include "KitRequest.h"
#include "KitSort.h"
#include "Modal.h"
#include "Services.h"

namespace {
// The filter row: period list, start date, "~", end date across the 240 pixels.
constexpr int kRowY = 27;
constexpr int kPeriodWidth = 50;
constexpr int kPickerWidth = 88;
constexpr int kTildeWidth = 8;
} // namespace

CResultPage::CResultPage(CTVPB2200* screen) : CExTabPage(IDD, screen), screen_(screen) {}

CResultPage::~CResultPage() = default;

BOOL CResultPage::OnInitDialog()
{
    userName_ = new CColorStatic(this);
    userName_->setObjectName(QStringLiteral("userName"));
    userName_->SetBkColor(RGB(255, 255, 255));
    userName_->SetTextColor(RGB(0, 0, 0));
    userName_->setGeometry(2, 2, 120, 22);
    if (CUserInfo* user = screen_->User())
        userName_->SetWindowText(user->GetUserName());

    auto* query = new CBmpButton(this);
    query->setObjectName(QStringLiteral("btnQuery"));
    query->LoadBitmap(QStringLiteral("BMP\\조회_5024.bmp"), QStringLiteral("BMP\\조회_5024_d.bmp"), QString());
    query->setGeometry(136, 1, 50, 24);
    connect(query, &QAbstractButton::clicked, this, &CResultPage::OnQuery);
    auto* detail = new CBmpButton(this);
    detail->setObjectName(QStringLiteral("btnDetail"));
    detail->LoadBitmap(QStringLiteral("BMP\\상세_4524.bmp"), QStringLiteral("BMP\\상세_4524_d.bmp"), QString());
    detail->setGeometry(190, 1, 45, 24);
    connect(detail, &QAbstractButton::clicked, this, &CResultPage::OnDetail);

    period_ = new QComboBox(this);
    period_->setObjectName(QStringLiteral("periodList"));
    period_->addItems({QString(), QStringLiteral("3일"), QStringLiteral("1주"), QStringLiteral("15일"),
                       QStringLiteral("한달")});
    period_->setGeometry(2, kRowY, kPeriodWidth, 22);
    connect(period_, qOverload<int>(&QComboBox::activated), this, &CResultPage::OnPeriodChanged);
    const QDate today = platform::now().date();
    int x = 2 + kPeriodWidth + 1;
    start_ = kit::MakeDatePicker(this, QStringLiteral("startDate"), today);
    start_->setGeometry(x, kRowY, kPickerWidth, 22);
    x += kPickerWidth;
    auto* tilde = new CColorStatic(QStringLiteral("~"), this);
    tilde->SetAlignment(DT_CENTER | DT_VCENTER);
    tilde->setGeometry(x, kRowY, kTildeWidth, 22);
    x += kTildeWidth;
    end_ = kit::MakeDatePicker(this, QStringLiteral("endDate"), today);
    end_->setGeometry(x, kRowY, kPickerWidth, 22);

    grid_ = new CGridCtrl(this);
    grid_->setObjectName(QStringLiteral("resultGrid"));
    grid_->setGeometry(0, 52, 238, 162);

    count_ = new CColorStatic(QStringLiteral("총건수 :"), this);
    count_->setObjectName(QStringLiteral("countLabel"));
    count_->setGeometry(2, 218, 70, 20);
    auto* totalCaption = new CColorStatic(QStringLiteral("총이체금액 :"), this);
    totalCaption->setGeometry(84, 218, 70, 20);
    total_ = new CColorStatic(QStringLiteral("0"), this);
    total_->setObjectName(QStringLiteral("totalLabel"));
    total_->SetAlignment(DT_RIGHT | DT_VCENTER);
    total_->setGeometry(154, 218, 82, 20);

    period_->setCurrentIndex(1);
    OnPeriodChanged(1);
    layoutGrid(0);
    total_->SetWindowText(QString());
    return TRUE;
}

int CResultPage::periodSeconds(int index)
{
    static const int seconds[] = {0, 259200, 604800, 1296000, 2592000};
    return index >= 0 && index < 5 ? seconds[index] : 0;
}

void CResultPage::OnPeriodChanged(int index)
{
    if (period_->itemText(index).isEmpty()) {
        start_->setEnabled(true);
        end_->setEnabled(true);
        return;
    }
    const QDateTime now = platform::now();
    start_->setDate(now.addSecs(-periodSeconds(index)).date());
    end_->setDate(now.date());
    start_->setEnabled(false);
    end_->setEnabled(false);
}

void CResultPage::layoutGrid(int records)
{
    const bool few = records <= kMinRows;
    kit::LayoutListGrid(grid_,
                             {QStringLiteral("이체일"), QStringLiteral("입금은행/계좌"), QStringLiteral("결과"),
                              QStringLiteral("일련"), QStringLiteral("코드"), QStringLiteral("이체금액")},
                             few ? QList<int>{65, 187, 40, 0, 0, 0} : QList<int>{65, 175, 40, 0, 0, 0},
                             few ? kMinRows : records, few);
}

void CResultPage::OnQuery()
{
    if (screen_->Session() && screen_->Session()->IsInUsing())
        return;
    const int index = period_->currentIndex();
    QString sdate;
    QString edate;
    if (period_->currentText().isEmpty()) {
        sdate = kit::Ymd(start_->date());
        edate = kit::Ymd(end_->date());
    } else {
        const QDateTime now = platform::now();
        sdate = kit::Ymd(now.addSecs(-periodSeconds(index)).date());
        edate = kit::Ymd(now.date());
    }
    CUserInfo* user = screen_->User();
    KitRequest request = screen_->Request(screen_);
    QString reply;
    if (!request.SendPlain(FormatQuery(QStringLiteral("encrypt=1&trcode=PDA_T004&UserID=%s&InqSdate=%s&InqEdate=%s"),
                                       {user ? user->GetUserID() : QString(), sdate, edate}),
                           reply, false)) {
        if (request.WasBusy())
            return;
        layoutGrid(0);
        records_ = 0;
        count_->SetWindowText(QStringLiteral("총건수:"));
        total_->SetWindowText(QString());
        return;
    }
    reply_ = reply;
    // The grid shows this answer only: a period without transfers shows none.
    const QList<QStringList> records = NewestFirst(kit::ListRecords(reply, 6));
    records_ = static_cast<int>(records.size());
    layoutGrid(records_);
    for (int i = 0; i < records_; ++i) {
        const QStringList& r = records[i];
        grid_->SetItemText(i + 1, ColDate, r[0]);
        grid_->SetItemText(i + 1, ColBankAccount, QStringLiteral("%1/%2").arg(ZentabNameOf(r[1]), r[2]));
        grid_->SetItemText(i + 1, ColResult, r[4]);
        grid_->SetItemText(i + 1, ColSerial, r[5]);
        grid_->SetItemText(i + 1, ColCode, r[1]);
        grid_->SetItemText(i + 1, ColAmount, r[3]);
    }
    // The long bank/account column gives way so that "결과" stays in view.
    if (records_ > 0)
        kit::AutoSizeToWidth(grid_, ColBankAccount);
    showTotals();
}

void CResultPage::showTotals()
{
    count_->SetWindowText(QStringLiteral("총건수:%1").arg(records_));
    QStringList amounts;
    for (int r = 1; r <= records_ && r < grid_->GetRowCount(); ++r)
        amounts << grid_->GetItemText(r, ColAmount);
    total_->SetWindowText(FormatAmountInt(SumAmounts(amounts)));
}

void CResultPage::OnDetail()
{
    if (screen_->Session() && screen_->Session()->IsInUsing())
        return;
    const int row = kit::FirstSelectedRow(grid_);
    if (row < 0) {
        platform::messageBox(screen_, QStringLiteral("계좌를 선택해 주세요"), QStringLiteral("선택 오류"),
                             platform::MB_OK);
        return;
    }
    const QString date = grid_->GetItemText(row, ColDate);
    CUserInfo* user = screen_->User();
    KitRequest request = screen_->Request(screen_);
    QString reply;
    if (!request.SendPlain(
            FormatQuery(QStringLiteral("encrypt=1&trcode=PDA_T005&UserID=%s&InqSdate=%s&InqEdate=%s&Seq=%s"),
                        {user ? user->GetUserID() : QString(), date, date, grid_->GetItemText(row, ColSerial)}),
            reply, false))
        return;
    CResultDetailDlg dlg(screen_, reply);
    dlg.DoModal();
}
