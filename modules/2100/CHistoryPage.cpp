#include "CHistoryPage.h"

#include <QComboBox>

#include <algorithm>
#include <QDateEdit>
#include <QSignalBlocker>

#include "CAccountPage.h"
#include "CBmpButton.h"
#include "CGridCtrl.h"
#include "CTVPB2100.h"
#include "CUserInfo.h"
#include "KitDates.h"
#include "KitGrid.h"
#include "KitQuery.h"
#include "KitRequest.h"
#include "KitSort.h"
#include "Services.h"

namespace {
// Header rows by the account's kind code.
void headers(const QString& code, QStringList* row1, QStringList* row2)
{
    if (code == QLatin1String("A01")) {
        *row1 = {QStringLiteral("거래일자"), QStringLiteral("적요"), QStringLiteral("회차")};
        *row2 = {QStringLiteral("월분"), QStringLiteral("거래금액"), QStringLiteral(" 거래후잔액")};
    } else if (code == QLatin1String("A06")) {
        *row1 = {QStringLiteral("입금일자"), QStringLiteral("만기일"), QStringLiteral("적용금리")};
        *row2 = {QStringLiteral("입금액"), QStringLiteral("현재잔액"), QStringLiteral("지급일")};
    } else {
        *row1 = {QStringLiteral("거래일자"), QStringLiteral("적요"), QStringLiteral("기재내용")};
        *row2 = {QStringLiteral("입금(원)"), QStringLiteral("지급(원)"), QStringLiteral("거래후잔액")};
    }
}
} // namespace

CHistoryPage::CHistoryPage(CTVPB2100* screen) : CExTabPage(IDD, screen), screen_(screen) {}

CHistoryPage::~CHistoryPage() = default;

BOOL CHistoryPage::OnInitDialog()
{
    account_ = new QComboBox(this);
    account_->setObjectName(QStringLiteral("historyAccount"));
    connect(account_, qOverload<int>(&QComboBox::activated), this, &CHistoryPage::OnAccountChanged);

    code_ = new QComboBox(this);
    code_->setObjectName(QStringLiteral("historyCode"));
    code_->hide();

    period_ = new QComboBox(this);
    period_->setObjectName(QStringLiteral("historyPeriod"));
    connect(period_, qOverload<int>(&QComboBox::activated), this, &CHistoryPage::OnPeriodChanged);

    const QDate today = platform::now().date();
    start_ = kit::MakeDatePicker(this, QStringLiteral("historyStart"), today);
    end_ = kit::MakeDatePicker(this, QStringLiteral("historyEnd"), today);

    inquiry_ = new CBmpButton(this);
    inquiry_->setObjectName(QStringLiteral("btnHistoryInquiry"));
    inquiry_->LoadBitmap(QStringLiteral("BMP\\조회_5024.bmp"), QStringLiteral("BMP\\조회_5024_d.bmp"), QString());
    connect(inquiry_, &QAbstractButton::clicked, this, &CHistoryPage::On215001);

    grid_ = new CGridCtrl(this);
    grid_->setObjectName(QStringLiteral("historyGrid"));
    layoutControls();
    resetGrid(QString());
    return TRUE;
}

void CHistoryPage::resizeEvent(QResizeEvent* e)
{
    CExTabPage::resizeEvent(e);
    layoutControls();
}

void CHistoryPage::layoutControls()
{
    if (!grid_)
        return;
    const int w = width();
    account_->setGeometry(2, 2, 140, 22);
    period_->setGeometry(145, 2, w - 147, 22);
    start_->setGeometry(2, 27, 91, 22);
    end_->setGeometry(94, 27, 91, 22);
    inquiry_->setGeometry(w - 52, 26, 50, 24);
    grid_->setGeometry(0, 53, w, height() - 53);
}

void CHistoryPage::FillAccounts()
{
    InitOnce();
    const QSignalBlocker b1(account_);
    const QSignalBlocker b2(code_);
    account_->clear();
    code_->clear();
    CAccountPage* accounts = screen_->AccountPage();
    if (accounts) {
        // Grid order, up to the first empty row.
        for (int r = 1; r <= accounts->AccountCount(); ++r) {
            const QString number = accounts->AccountAt(r);
            if (number.isEmpty())
                break;
            const QString code = accounts->CodeAt(r);
            if (!inquiry::HasHistory(code))
                continue;
            account_->addItem(number);
            code_->addItem(code);
        }
    }
    ClearAccount();
}

void CHistoryPage::ClearAccount()
{
    InitOnce();
    const QSignalBlocker b1(account_);
    const QSignalBlocker b2(code_);
    account_->setCurrentIndex(-1);
    code_->setCurrentIndex(-1);
}

void CHistoryPage::PrepareFor(const QString& number, const QString& code)
{
    InitOnce();
    fillPeriods(inquiry::UsesDays(code));
    period_->setCurrentIndex(1);
    OnPeriodChanged(1);
    int found = -1;
    for (int i = 0; i < account_->count(); ++i) {
        if (account_->itemText(i).startsWith(number)) {
            found = i;
            break;
        }
    }
    const QSignalBlocker b1(account_);
    const QSignalBlocker b2(code_);
    account_->setCurrentIndex(found);
    code_->setCurrentIndex(found);
}

void CHistoryPage::fillPeriods(bool days)
{
    days_ = days;
    periods_ = inquiry::PeriodsFor(days);
    const QSignalBlocker block(period_);
    period_->clear();
    for (const inquiry::Period& p : periods_)
        period_->addItem(p.caption);
}

void CHistoryPage::OnAccountChanged(int index)
{
    if (index < 0 || index >= code_->count())
        return;
    const QSignalBlocker block(code_);
    code_->setCurrentIndex(index);
    const QString code = code_->itemText(index);
    if (!inquiry::HasHistory(code))
        return;
    fillPeriods(inquiry::UsesDays(code));
    period_->setCurrentIndex(1);
    OnPeriodChanged(1);
}

void CHistoryPage::OnPeriodChanged(int index)
{
    if (index < 0 || index >= periods_.size())
        return;
    if (periods_[index].days == 0) {
        // The free range: the user sets both dates.
        start_->setEnabled(true);
        end_->setEnabled(true);
        return;
    }
    QDate from;
    QDate to;
    range(&from, &to);
    start_->setDate(from);
    end_->setDate(to);
    start_->setEnabled(false);
    end_->setEnabled(false);
}

void CHistoryPage::range(QDate* from, QDate* to) const
{
    const int index = period_->currentIndex();
    const int days = index >= 0 && index < periods_.size() ? periods_[index].days : 0;
    if (days == 0) {
        *from = start_->date();
        *to = end_->date();
        return;
    }
    // The range ends today and starts that many whole days before now.
    const QDateTime now = platform::now();
    *to = now.date();
    *from = now.addSecs(-static_cast<qint64>(days) * 86400).date();
}

void CHistoryPage::On215001()
{
    if (KitRequest::IsBusy(screen_->Session(), screen_->Download()))
        return;
    const int index = account_->currentIndex();
    if (index < 0 || index >= code_->count())
        return;
    QDate from;
    QDate to;
    range(&from, &to);
    QString accNo = account_->itemText(index);
    accNo.remove(QLatin1Char('-'));
    const QString code = code_->itemText(index);
    CUserInfo* user = screen_->User();
    const QString query = FormatQuery(
        QStringLiteral("encrypt=1&trcode=PDA_A009&UserID=%s&DepositKind=%s&AccNO=%s&sdate=%s&edate=%s"),
        {user ? user->GetUserID() : QString(), code, accNo, kit::Ymd(from), kit::Ymd(to)});
    KitRequest request = screen_->Request(screen_);
    QString reply;
    if (!request.SendPlain(query, reply, false)) {
        if (!request.WasBusy())
            resetGrid(code);
        return;
    }
    fillGrid(code, NewestFirst(inquiry::ParseTransactions(reply)));
}

void CHistoryPage::resetGrid(const QString& code)
{
    fillGrid(code, {});
}

void CHistoryPage::fillGrid(const QString& code, const QList<inquiry::TxRecord>& records)
{
    shown_ = records;
    const int n = static_cast<int>(records.size());
    QStringList row1;
    QStringList row2;
    headers(code, &row1, &row2);
    kit::LayoutTwoRowGrid(grid_, row1, row2, {108, 107, 108}, std::max(kMinTransactions, n), kit::Shading::SecondFourth,
                          DT_RIGHT);
    const bool ordinary = code != QLatin1String("A01") && code != QLatin1String("A06");
    for (int i = 0; i < n; ++i) {
        const int top = 2 + 2 * i;
        const inquiry::TxRecord& t = records[i];
        for (int c = 0; c < 3; ++c)
            grid_->SetItemText(top, c, t.value(c));
        if (ordinary) {
            // The amount goes under "입금(원)" or "지급(원)" by its direction.
            const QString direction = t.value(3);
            if (direction == QStringLiteral("입금"))
                grid_->SetItemText(top + 1, 0, t.value(4));
            else if (direction == QStringLiteral("지급"))
                grid_->SetItemText(top + 1, 1, t.value(4));
            grid_->SetItemText(top + 1, 2, t.value(5));
        } else {
            for (int c = 0; c < 3; ++c)
                grid_->SetItemText(top + 1, c, t.value(3 + c));
        }
    }
    grid_->Refresh();
}
