#include "CQuickResultDlg.h"

#include <QComboBox>
#include <QDateEdit>

#include "CBmpButton.h"
#include "CColorStatic.h"
#include "CGridCtrl.h"
#include "CTVPB1200.h"
#include "KitDates.h"
#include "KitGrid.h"
#include "LoginFreeRequest.h"
#include "Services.h"

namespace {

// Days back from now of each period entry; the first is the free range.
const int kPeriodDays[] = {0, 3, 7, 15, 30};
const char16_t* const kPeriodNames[] = {u"", u"3일", u"1주", u"15일", u"한달"};
constexpr int kHeaderRows = 2;

CColorStatic* makeLabel(QWidget* parent, const char* name, const QString& text, COLORREF colour, int y)
{
    auto* l = new CColorStatic(text, parent);
    l->setObjectName(QLatin1String(name));
    l->SetBkColor(colour);
    l->SetAlignment(DT_LEFT | DT_VCENTER);
    l->setGeometry(0, y, 240, 20);
    return l;
}

} // namespace

CQuickResultDlg::CQuickResultDlg(CTVPB1200* screen, const QString& accNo, const QString& pwd, const QString& holder,
                                 const QString& balance)
    : platform::DialogBase(screen), screen_(screen), accNo_(accNo), pwd_(pwd)
{
    setObjectName(QStringLiteral("CQuickResultDlg"));
    setWindowTitle(QStringLiteral("스피드 계좌조회"));
    auto* title = makeLabel(this, "quickTitle", QStringLiteral("스피드 계좌 조회"), RGB(128, 255, 255), 0);
    title->SetAlignment(DT_CENTER | DT_VCENTER);
    makeLabel(this, "quickAccountLine", QStringLiteral(" 계좌번호: %1          %2").arg(accNo, holder),
              RGB(192, 255, 255), 22);
    makeLabel(this, "quickBalanceLine", QStringLiteral(" 거래후잔액: %1 원").arg(balance), RGB(192, 255, 255), 44);

    period_ = new QComboBox(this);
    period_->setObjectName(QStringLiteral("quickPeriod"));
    for (const char16_t* name : kPeriodNames)
        period_->addItem(QString::fromUtf16(name));
    period_->setGeometry(2, 68, 56, 24);
    const QDate today = platform::now().date();
    start_ = kit::MakeDatePicker(this, QStringLiteral("quickStart"), today);
    start_->setGeometry(60, 68, 89, 24);
    end_ = kit::MakeDatePicker(this, QStringLiteral("quickEnd"), today);
    end_->setGeometry(150, 68, 89, 24);
    connect(period_, qOverload<int>(&QComboBox::activated), this, &CQuickResultDlg::OnPeriodChanged);

    grid_ = new CGridCtrl(this);
    grid_->setObjectName(QStringLiteral("quickHistory"));
    grid_->setGeometry(2, 96, 236, 164);
    kit::LayoutTwoRowGrid(grid_, {QStringLiteral("거래일"), QStringLiteral("적요"), QStringLiteral("기재내용")},
                          {QStringLiteral("지급(원)"), QStringLiteral("입금(원)"), QStringLiteral("잔액(원)")},
                          {76, 76, 80}, 0, kit::Shading::SecondFourth, DT_RIGHT);

    auto* close = new CBmpButton(this);
    close->setObjectName(QStringLiteral("btnResultClose"));
    close->LoadBitmap(QStringLiteral("BMP\\닫기_4524.bmp"), QStringLiteral("BMP\\닫기_4524_d.bmp"), QString());
    close->SizeToContent();
    close->move(190, 266);
    auto* inquiry = new CBmpButton(this);
    inquiry->setObjectName(QStringLiteral("btnResultInquiry"));
    inquiry->LoadBitmap(QStringLiteral("BMP\\조회_5024.bmp"), QStringLiteral("BMP\\조회_5024_d.bmp"), QString());
    inquiry->SizeToContent();
    inquiry->move(136, 266);
    connect(close, &QAbstractButton::clicked, this, [this] { done(0); });
    connect(inquiry, &QAbstractButton::clicked, this, &CQuickResultDlg::On131001);

    period_->setCurrentIndex(1);
    OnPeriodChanged(1);
}

CQuickResultDlg::~CQuickResultDlg() = default;

int CQuickResultDlg::RecordCount() const
{
    return (grid_->GetRowCount() - kHeaderRows) / 2;
}

void CQuickResultDlg::OnPeriodChanged(int index)
{
    if (index < 0 || index >= static_cast<int>(std::size(kPeriodDays)))
        return;
    const bool free = index == 0;
    if (!free) {
        const QDate today = platform::now().date();
        start_->setDate(today.addDays(-kPeriodDays[index]));
        end_->setDate(today);
    }
    start_->setEnabled(free);
    end_->setEnabled(free);
}

void CQuickResultDlg::On131001()
{
    // The rows of the last inquiry go first, whatever the answer.
    grid_->SetRowCount(kHeaderRows);
    const QString query = QStringLiteral("useSess=N&trcode=PDA_S002&AccNO=%1&AccPwd=%2&sdate=%3&edate=%4")
                              .arg(accNo_, pwd_, kit::Ymd(start_->date()), kit::Ymd(end_->date()));
    QString data;
    if (!screen_->Send(this, query, 1, data)) {
        grid_->Refresh();
        return;
    }
    CQV* session = screen_->Session();
    const QString list = QStringLiteral("list0");
    const int records = loginfree::RecordCount(session, data, list);
    kit::LayoutTwoRowGrid(grid_, {QStringLiteral("거래일"), QStringLiteral("적요"), QStringLiteral("기재내용")},
                          {QStringLiteral("지급(원)"), QStringLiteral("입금(원)"), QStringLiteral("잔액(원)")},
                          {76, 76, 80}, records, kit::Shading::SecondFourth, DT_RIGHT);
    for (int r = 0; r < records; ++r) {
        auto field = [&](int n) { return loginfree::Field(session, data, list, n, r + 1); };
        const int row = kHeaderRows + 2 * r;
        for (int c = 0; c < 3; ++c)
            grid_->SetItemText(row, c, field(c + 1));
        const QString kind = field(4);
        if (kind == QStringLiteral("지급"))
            grid_->SetItemText(row + 1, 0, field(5));
        else if (kind == QStringLiteral("입금"))
            grid_->SetItemText(row + 1, 1, field(5));
        grid_->SetItemText(row + 1, 2, field(6));
    }
    grid_->AutoSize();
    grid_->Refresh();
}
