#include "CChequePage.h"

#include <QComboBox>
#include <QLabel>
#include <QPixmap>

#include "CBmpButton.h"
#include "CGridCtrl.h"
#include "CNumberKbd.h"

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
constexpr int kGridWidth = 236;

QString twoDigits(const QVariant& code)
{
    return code.isValid() ? QString::asprintf("%.2d", code.toInt()) : QString();
}

} // namespace

ChequePageStyle ChequePageStyle::AccountInquiry()
{
    return {};
}

ChequePageStyle ChequePageStyle::QuickInquiry()
{
    ChequePageStyle s;
    s.labelColour = RGB(192, 255, 255);
    s.fixedLabels = false;
    s.withCancel = true;
    s.encryptFlag = false;
    return s;
}

CChequePage::CChequePage(int idd, QWidget* screen, ChequePageStyle style, std::function<void()> inquire)
    : CExTabPage(idd, screen), screen_(screen), style_(style), inquire_(std::move(inquire))
{
}

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
    if (style_.fixedLabels) {
        grid_->SetFixedColumnCount(1);
        grid_->SetFixedBkColor(style_.labelColour);
        grid_->SetGridLineColor(RGB(0, 0, 0));
    }
    grid_->EnableSelection(FALSE);
    grid_->SetEditable(FALSE);
    grid_->SetFrameFocusCell(FALSE);
    grid_->SetColumnResize(FALSE);
    grid_->SetRowResize(FALSE);
    grid_->SetColumnWidth(0, style_.labelWidth);
    grid_->SetColumnWidth(1, kGridWidth - style_.labelWidth);
    for (int r = 0; r < 5; ++r) {
        grid_->SetRowHeight(r, kRowHeight);
        grid_->SetItemText(r, 0, QString::fromUtf16(kLabels[r]));
        grid_->SetItemBkColour(r, 0, style_.labelColour);
        for (int c = 0; c < 2; ++c)
            grid_->SetItemFormat(r, c, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_->setGeometry(2, 70, kGridWidth, 5 * kRowHeight + 2);
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

    if (style_.withCancel) {
        inquiry_ = CBmpButton::Create(this, "btnChequeInquiry", QStringLiteral("조회_5024"), 66, 200);
        cancel_ = CBmpButton::Create(this, "btnChequeCancel", QStringLiteral("취소_4524"), 124, 200);
        connect(cancel_, &QAbstractButton::clicked, this, &CChequePage::OnCancel);
    } else {
        inquiry_ = CBmpButton::Create(this, "btnChequeInquiry", QStringLiteral("확인_4524"), 97, 200);
    }
    connect(inquiry_, &QAbstractButton::clicked, this, &CChequePage::OnInquiry);

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
    CNumberKbd keypad(screen_);
    keypad.SetWorkProp(QString::fromUtf16(kLabels[row]), kind);
    if (keypad.DoModal() != 1)
        return;
    grid_->SetItemText(row, 1, keypad.GetFormatedData(1));
    grid_->RedrawCell(row, 1);
}

void CChequePage::OnCancel()
{
    for (int row : {int(RowBranch), int(RowNumber), int(RowAmount)}) {
        grid_->SetItemText(row, 1, QString());
        grid_->RedrawCell(row, 1);
    }
}

void CChequePage::OnInquiry()
{
    if (inquire_)
        inquire_();
}

QString CChequePage::BankCode() const { return twoDigits(bank_->currentData()); }
QString CChequePage::KindCode() const { return twoDigits(kind_->currentData()); }
QString CChequePage::Branch() const { return grid_->GetItemText(RowBranch, 1); }
QString CChequePage::Number() const { return grid_->GetItemText(RowNumber, 1); }

QString CChequePage::Amount() const
{
    QString amount = grid_->GetItemText(RowAmount, 1);
    amount.remove(QLatin1Char(','));
    return amount;
}

QString CChequePage::BuildQuery() const
{
    // Values go in as they are.
    return QStringLiteral("useSess=N") + (style_.encryptFlag ? QStringLiteral("&encrypt=1") : QString()) +
           QStringLiteral("&trcode=PDA_S003&BankCD=") + BankCode() + QStringLiteral("&PublShopNO=") + Branch() +
           QStringLiteral("&CheckNO=") + Number() + QStringLiteral("&CheckKind=") + KindCode() +
           QStringLiteral("&CheckMny=") + Amount();
}

QString CChequePage::ResultText(const QString& number, const QString& amount, const QString& issued,
                                const QString& accident)
{
    return QStringLiteral("수표번호: %1\r\n수표금액: %2원\r\n발행일자: %3\r\n사고내역: %4")
        .arg(number, amount, issued, accident);
}
