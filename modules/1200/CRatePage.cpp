#include "CRatePage.h"

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

struct View {
    const char16_t* name;
    const char16_t* third;
    const char16_t* fourth;
    int firstField; // the record's fields shown in columns 3 and 4
};
const View kViews[] = {
    {u"송금", u"송금보낼때", u"송금받을때", 3},
    {u"현찰", u"현찰사실때", u"현찰파실때", 5},
    {u"T/C&매매", u"T/C사실때", u"매매기준율", 7},
    {u"한국은행&대미", u"한은기준율", u"대미환산율", 9},
};
const QList<int> kWidths = {37, 53, 72, 72};

QStringList headersOf(int view)
{
    return {QStringLiteral("코드"), QStringLiteral("국가"), QString::fromUtf16(kViews[view].third),
            QString::fromUtf16(kViews[view].fourth)};
}

} // namespace

CRatePage::CRatePage(CTVPB1200* screen) : CExTabPage(IDD, screen), screen_(screen) {}

CRatePage::~CRatePage() = default;

BOOL CRatePage::OnInitDialog()
{
    date_ = kit::MakeDatePicker(this, QStringLiteral("rateDate"), platform::now().date());
    date_->setGeometry(2, 4, 96, 24);
    view_ = new QComboBox(this);
    view_->setObjectName(QStringLiteral("rateView"));
    for (const View& v : kViews)
        view_->addItem(QString::fromUtf16(v.name));
    view_->setGeometry(100, 4, 86, 24);
    connect(view_, qOverload<int>(&QComboBox::activated), this, &CRatePage::OnViewChanged);
    auto* inquiry = new CBmpButton(this);
    inquiry->setObjectName(QStringLiteral("btnRateInquiry"));
    inquiry->LoadBitmap(QStringLiteral("BMP\\조회_5024.bmp"), QStringLiteral("BMP\\조회_5024_d.bmp"), QString());
    inquiry->SizeToContent();
    inquiry->move(188, 4);
    connect(inquiry, &QAbstractButton::clicked, this, &CRatePage::On135001);

    time_ = new CColorStatic(QStringLiteral("고시시간:"), this);
    time_->setObjectName(QStringLiteral("rateTime"));
    time_->SetAlignment(DT_LEFT | DT_VCENTER);
    time_->setGeometry(2, 30, 180, 20);
    auto* unit = new CColorStatic(QStringLiteral("[단위:원]"), this);
    unit->setObjectName(QStringLiteral("rateUnit"));
    unit->SetAlignment(DT_RIGHT | DT_VCENTER);
    unit->setGeometry(182, 30, 56, 20);

    grid_ = new CGridCtrl(this);
    grid_->setObjectName(QStringLiteral("rateGrid"));
    // Small enough a font that a country name and a rate fit their columns.
    QFont small = grid_->font();
    small.setPixelSize(11);
    grid_->setFont(small);
    grid_->setGeometry(1, 52, 238, 206);
    kit::LayoutListGrid(grid_, headersOf(0), kWidths, 0, false);
    return TRUE;
}

void CRatePage::OnViewChanged(int index)
{
    if (index < 0 || index >= static_cast<int>(std::size(kViews)))
        return;
    // The rows of another view go; the user asks again.
    kit::LayoutListGrid(grid_, headersOf(index), kWidths, 0, false);
    grid_->Refresh();
    time_->SetWindowText(QStringLiteral("고시시간:"));
}

void CRatePage::On135001()
{
    const int view = qMax(0, view_->currentIndex());
    kit::LayoutListGrid(grid_, headersOf(view), kWidths, 0, false);
    grid_->Refresh();
    const QDate d = date_->date();
    const QString query = QStringLiteral("trcode=PDA_S004&sdate=%1").arg(kit::Ymd(d));
    QString data;
    if (!screen_->Send(screen_, query, 0, data))
        return;
    CQV* session = screen_->Session();
    const QString list = QStringLiteral("list0");
    const int records = loginfree::RecordCount(session, data, list);
    kit::LayoutListGrid(grid_, headersOf(view), kWidths, records, false);
    const int first = kViews[view].firstField;
    QString posted;
    for (int r = 0; r < records; ++r) {
        auto field = [&](int n) { return loginfree::Field(session, data, list, n, r + 1); };
        grid_->SetItemText(r + 1, 0, field(1));
        grid_->SetItemText(r + 1, 1, field(2));
        grid_->SetItemText(r + 1, 2, field(first));
        grid_->SetItemText(r + 1, 3, field(first + 1));
        for (int c = 2; c < 4; ++c)
            grid_->SetItemFormat(r + 1, c, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
        posted = field(11);
    }
    grid_->Refresh();
    time_->SetWindowText(QStringLiteral("고시시간: %1").arg(posted));
}
