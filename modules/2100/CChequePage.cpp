#include "CChequePage.h"

#include <QComboBox>
#include <QLabel>
#include <QPixmap>

#include "CBmpButton.h"
#include "CGridCtrl.h"
#include "CNumberKbd.h"
#include "CQD.h"
#include "CQV.h"
#include "CTVPB2100.h"
#include "KitChecks.h"
#include "KitKeypad.h"
#include "KitPrompts.h"
#include "KitQuery.h"
#include "KitRequest.h"
#include "Modal.h"
#include "Services.h"

namespace {

struct CodedEntry {
    const char16_t* name;
    int code;
};
const CodedEntry kBanks[] = {{u"타브린은행", 20}, {u"평화은행(구)", 83}};
const CodedEntry kKinds[] = {{u"일반수표", 50}, {u"10만원 정액", 51}, {u"30만원 정액", 53}, {u"50만원 정액", 55},
                             {u"100만원 정액", 56}};
// Amount cell of each kind, in kind order.
const char16_t* const kKindAmounts[] = {u"", u"100,000", u"300,000", u"500,000", u"1,000,000"};

const char16_t* const kLabels[] = {u"발행은행", u"발행점번호", u"수표번호", u"수표종류", u"수표금액(원)"};
constexpr int kRowHeight = 24;

} // namespace

CChequePage::CChequePage(CTVPB2100* screen) : CExTabPage(IDD, screen), screen_(screen) {}

CChequePage::~CChequePage() = default;

BOOL CChequePage::OnInitDialog()
{
    picture_ = new QLabel(this);
    picture_->setObjectName(QStringLiteral("chequePicture"));
    picture_->setPixmap(QPixmap(CBmpButton::resolvePath(QStringLiteral("BMP\\cheque.bmp"))));
    picture_->setGeometry(4, 4, 232, 60);

    grid_ = new CGridCtrl(this);
    grid_->setObjectName(QStringLiteral("chequeGrid"));
    grid_->SetColumnCount(2);
    grid_->SetRowCount(5);
    grid_->SetFixedColumnCount(1);
    grid_->SetFixedBkColor(RGB(181, 178, 181));
    grid_->SetGridLineColor(RGB(0, 0, 0));
    grid_->EnableSelection(FALSE);
    grid_->SetEditable(FALSE);
    grid_->SetFrameFocusCell(FALSE);
    grid_->SetColumnResize(FALSE);
    grid_->SetRowResize(FALSE);
    grid_->SetColumnWidth(0, 90);
    grid_->SetColumnWidth(1, 146);
    for (int r = 0; r < 5; ++r) {
        grid_->SetRowHeight(r, kRowHeight);
        grid_->SetItemText(r, 0, QString::fromUtf16(kLabels[r]));
        grid_->SetItemBkColour(r, 0, RGB(181, 178, 181));
        for (int c = 0; c < 2; ++c)
            grid_->SetItemFormat(r, c, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_->setGeometry(2, 70, 236, 5 * kRowHeight + 2);
    connect(grid_, &CGridCtrl::cellTapped, this, &CChequePage::OnCellTapped);
    connect(grid_, &CGridCtrl::layoutChanged, this, &CChequePage::placeCombos);

    bank_ = new QComboBox(this);
    bank_->setObjectName(QStringLiteral("chequeBank"));
    for (const CodedEntry& e : kBanks)
        bank_->addItem(QString::fromUtf16(e.name), e.code);
    bank_->setCurrentIndex(0);

    kind_ = new QComboBox(this);
    kind_->setObjectName(QStringLiteral("chequeKind"));
    for (const CodedEntry& e : kKinds)
        kind_->addItem(QString::fromUtf16(e.name), e.code);
    kind_->setCurrentIndex(0);
    connect(kind_, qOverload<int>(&QComboBox::activated), this, &CChequePage::OnKindChanged);

    inquiry_ = new CBmpButton(this);
    inquiry_->setObjectName(QStringLiteral("btnChequeInquiry"));
    inquiry_->LoadBitmap(QStringLiteral("BMP\\확인_4524.bmp"), QStringLiteral("BMP\\확인_4524_d.bmp"), QString());
    inquiry_->setGeometry(97, 200, 45, 24);
    connect(inquiry_, &QAbstractButton::clicked, this, &CChequePage::On216001);

    placeCombos();
    return TRUE;
}

void CChequePage::placeCombos()
{
    if (!bank_ || !kind_)
        return;
    // Laid exactly over the value cells of rows 0 and 3.
    const QPoint origin = grid_->viewport()->mapTo(this, QPoint(0, 0));
    bank_->setGeometry(grid_->cellRect(RowBank, 1).translated(origin));
    kind_->setGeometry(grid_->cellRect(RowKind, 1).translated(origin));
    bank_->raise();
    kind_->raise();
}

void CChequePage::OnKindChanged(int index)
{
    if (index < 0 || index >= static_cast<int>(std::size(kKindAmounts)))
        return;
    grid_->SetItemText(RowAmount, 1, QString::fromUtf16(kKindAmounts[index]));
    grid_->RedrawCell(RowAmount, 1);
}

void CChequePage::OnCellTapped(int row, int col)
{
    if (col != 1)
        return;
    int kind = 0;
    if (row == RowBranch || row == RowNumber)
        kind = CNumberKbd::KindNumber;
    else if (row == RowAmount && kind_->currentIndex() == 0)
        kind = CNumberKbd::KindAmount; // fixed amounts are not typed
    if (kind == 0)
        return;
    const std::optional<QString> text = kit::KeypadText(screen_, QString::fromUtf16(kLabels[row]), kind);
    if (!text)
        return;
    grid_->SetItemText(row, 1, *text);
    grid_->RedrawCell(row, 1);
}

QString CChequePage::bankCode() const
{
    const QVariant code = bank_->currentData();
    return code.isValid() ? QString::asprintf("%.2d", code.toInt()) : QString();
}

QString CChequePage::kindCode() const
{
    const QVariant code = kind_->currentData();
    return code.isValid() ? QString::asprintf("%.2d", code.toInt()) : QString();
}

QString CChequePage::BuildQuery() const
{
    QString amount = grid_->GetItemText(RowAmount, 1);
    amount.remove(QLatin1Char(','));
    return FormatQuery(QStringLiteral("useSess=N&encrypt=1&trcode=PDA_S003&BankCD=%s&PublShopNO=%s&CheckNO=%s&"
                                      "CheckKind=%s&CheckMny=%s"),
                       {bankCode(), grid_->GetItemText(RowBranch, 1), grid_->GetItemText(RowNumber, 1), kindCode(),
                        amount});
}

void CChequePage::On216001()
{
    CQV* session = screen_->Session();
    CQD* download = screen_->Download();
    if (!session || !download || KitRequest::IsBusy(session, download))
        return;
    QString amount = grid_->GetItemText(RowAmount, 1);
    amount.remove(QLatin1Char(','));
    const char16_t* error = nullptr;
    if (bankCode().isEmpty())
        error = u"발행은행 선택오류";
    else if (grid_->GetItemText(RowBranch, 1).isEmpty())
        error = u"발행점번호 입력오류";
    else if (grid_->GetItemText(RowNumber, 1).isEmpty())
        error = u"수표번호 입력오류";
    else if (kindCode().isEmpty())
        error = u"수표종류 선택오류";
    else if (amount.isEmpty() || amount == QLatin1String("0"))
        error = u"수표금액 입력오류";
    if (error) {
        ShowMsg(screen_, QString::fromUtf16(error), false);
        return;
    }

    BeginWait();
    const QString request = session->XEncode(BuildQuery(), 0);
    if (request.isEmpty()) {
        EndWait(false);
        ShowMsg(screen_, QStringLiteral("Velcor Error: \r\n") + session->GetLastErrorMsg(), false);
        return;
    }
    const QString raw = download->DownloadData(request, nullptr, 0);
    if (!CheckReply(screen_, raw)) {
        if (platform::isWaiting())
            EndWait(false);
        return;
    }
    const QString reply = session->XDecode(raw);
    EndWait(false);
    if (reply.isEmpty()) {
        // A reply the engine could not open has no result to show.
        ShowMsg(screen_, QStringLiteral("Velcor Error: \r\n") + session->GetLastErrorMsg(), false);
        return;
    }

    const QString data = session->XParse(reply, QStringLiteral("DataTag"));
    const QString msg = session->XParse(data, QStringLiteral("msg"));
    const QString code = session->XParsedItem(msg, 1, QStringLiteral(";"));
    if (code != QLatin1String("10000")) {
        platform::messageBox(screen_,
                             QStringLiteral("Code: #%1 -\r\n%2").arg(code, session->XParsedItem(msg, 2, QStringLiteral(";"))),
                             QStringLiteral("메시지"), platform::MB_OK | platform::MB_ICONWARNING);
        return;
    }
    const QString list = session->XParse(data, QStringLiteral("list0"));
    auto item = [&](unsigned n) { return session->XParsedItem(list, n, QStringLiteral(";")); };
    platform::messageBox(screen_,
                         QStringLiteral("수표번호: %1\r\n수표금액: %2원\r\n발행일자: %3\r\n사고내역: %4")
                             .arg(item(1), item(2), item(3), item(4)),
                         QStringLiteral("수표조회 결과"), platform::MB_OK);
}
