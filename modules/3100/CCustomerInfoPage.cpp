#include "CCustomerInfoPage.h"

#include <algorithm>

#include "CGridCtrl.h"
#include "CQV.h"
#include "CTVPB3100.h"
#include "CUserInfo.h"
#include "KitCodeTables.h"
#include "KitQuery.h"
#include "KitReply.h"
#include "KitRequest.h"

namespace {

const QStringList kLabels = {QStringLiteral("이용자ID"), QStringLiteral("주민등록번호"), QStringLiteral("성명"),
                             QStringLiteral("연락주소"),  QStringLiteral("자택전화번호"), QStringLiteral("휴대폰"),
                             QStringLiteral("E-Mail"),   QStringLiteral("생년월일"),     QStringLiteral("결혼기념일"),
                             QStringLiteral("업종"),      QStringLiteral("직장명")};

constexpr COLORREF kLabelColour = RGB(200, 200, 200);
constexpr COLORREF kShadeColour = RGB(224, 224, 224);
constexpr COLORREF kEmptyShadeColour = RGB(193, 193, 193);
constexpr COLORREF kBackColour = RGB(222, 223, 222);

// A date of eight digits, else the text as received; "00000000" is no date.
bool isNoDate(const QString& d)
{
    return d == QLatin1String("00000000");
}

} // namespace

CCustomerInfoPage::CCustomerInfoPage(CTVPB3100* screen) : CExTabPage(IDD, screen), screen_(screen) {}

CCustomerInfoPage::~CCustomerInfoPage() = default;

BOOL CCustomerInfoPage::OnInitDialog()
{
    grid_ = new CGridCtrl(this);
    grid_->setObjectName(QStringLiteral("customerGrid"));
    // Fitted to its rows: no scroll bars.
    grid_->setGeometry(2, 8, 236, 2 * 20 + 29 + 8 * 18 + 2 * grid_->frameWidth());
    show({});
    return TRUE;
}

QStringList CCustomerInfoPage::Values(const QStringList& f, const QString& userId, const QString& juminNo)
{
    auto field = [&f](int i) { return i < f.size() ? f[i] : QString(); };
    QStringList v;
    v << userId;
    // Thirteen characters as "6-7"; anything else as the record holds it.
    v << (juminNo.size() == 13 ? QStringLiteral("%1-%2").arg(juminNo.left(6), juminNo.right(7)) : juminNo);
    v << field(0);
    v << QStringLiteral("%1\n%2").arg(field(3), field(4));
    v << field(5) << field(6) << field(7);
    const QString birth = field(9);
    if (isNoDate(birth))
        v << QString();
    else if (birth.size() == 8)
        v << QStringLiteral("%1-%2-%3  %4")
                 .arg(birth.mid(0, 4), birth.mid(4, 2), birth.mid(6, 2),
                      field(8) == QLatin1String("1") ? QStringLiteral("양력") : QStringLiteral("음력"));
    else
        v << birth;
    v << (isNoDate(field(10)) ? QString() : field(10));
    v << QuendraNameOf(field(11));
    v << field(12);
    return v;
}

void CCustomerInfoPage::show(const QStringList& values)
{
    const bool empty = values.isEmpty();
    grid_->DeleteAllItems();
    grid_->SetListMode(FALSE);
    grid_->EnableSelection(FALSE);
    grid_->SetEditable(FALSE);
    grid_->SetFrameFocusCell(FALSE);
    grid_->SetColumnCount(2);
    grid_->SetFixedRowCount(0);
    grid_->SetRowCount(kRows);
    grid_->SetGridLines(GVL_BOTH);
    grid_->SetGridLineColor(RGB(0, 0, 0));
    grid_->SetBkColor(kBackColour);
    grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_->SetColumnWidth(0, kLabelWidth);
    grid_->SetColumnWidth(1, std::max(0, grid_->width() - 2 * grid_->frameWidth() - kLabelWidth));
    for (int r = 0; r < kRows; ++r) {
        grid_->SetRowHeight(r, r <= 1 ? 20 : r == 3 ? 29 : 18);
        grid_->SetItemText(r, 0, kLabels[r]);
        grid_->SetItemText(r, 1, empty ? QString() : values.value(r));
        grid_->SetItemBkColour(r, 0, kLabelColour);
        const COLORREF value =
            r <= 1 ? (empty ? kEmptyShadeColour : kShadeColour) : (empty ? kShadeColour : RGB(255, 255, 255));
        grid_->SetItemBkColour(r, 1, value);
        grid_->SetItemFgColour(r, 0, RGB(0, 0, 0));
        grid_->SetItemFgColour(r, 1, RGB(0, 0, 0));
        grid_->SetItemFormat(r, 0, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        // The address's two lines show: centred without vertical centring.
        grid_->SetItemFormat(r, 1, r == 3 ? DT_CENTER : DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    grid_->Refresh();
}

void CCustomerInfoPage::Load()
{
    if (screen_->Session() && screen_->Session()->IsInUsing())
        return;
    CUserInfo* user = screen_->User();
    const QString userId = user ? user->GetUserID() : QString();
    KitRequest req = screen_->Request(screen_);
    req.SetCheckBusy(false);
    QString reply;
    if (!req.SendPlain(FormatQuery(QStringLiteral("encrypt=1&trcode=PDA_I001&UserID=%s"), {userId}), reply, false)) {
        show({});
        return;
    }
    reply_ = reply;
    if (!kit::HasBlock(reply, QStringLiteral("free0")))
        return;
    show(Values(kit::FreeFields(reply, 20), userId, user ? user->GetJuminNo() : QString()));
}
