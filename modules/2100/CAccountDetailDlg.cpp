#include "CAccountDetailDlg.h"

#include <QComboBox>

#include <algorithm>

#include "CBmpButton.h"
#include "CColorStatic.h"
#include "CGridCtrl.h"
#include "CTVPB2100.h"
#include "CUserInfo.h"
#include "KitGrid.h"
#include "KitQuery.h"
#include "KitReply.h"
#include "KitRequest.h"
#include "Modal.h"

namespace {
constexpr int kItemHeight = 22;
} // namespace

CAccountDetailDlg::CAccountDetailDlg(CTVPB2100* screen, const QString& reply, const QStringList& numbers,
                                     const QStringList& codes, int current)
    : platform::DialogBase(screen), screen_(screen), reply_(reply), numbers_(numbers), codes_(codes), current_(current)
{
    setObjectName(QStringLiteral("CAccountDetailDlg"));
    setWindowTitle(QStringLiteral("계좌상세-기본계좌"));
    kit::AddDialogTitle(this, QStringLiteral("계좌상세정보"), QStringLiteral("detailTitle"));

    auto* label = new CColorStatic(QStringLiteral("계좌"), this);
    label->setObjectName(QStringLiteral("detailAccountLabel"));
    label->SetBkColor(kit::kGridValueColour);
    label->SetAlignment(DT_CENTER | DT_VCENTER);
    label->setGeometry(3, 26, 50, 22);

    combo_ = new QComboBox(this);
    combo_->setObjectName(QStringLiteral("detailAccount"));
    combo_->addItems(numbers_);
    combo_->setCurrentIndex(current_);
    combo_->setGeometry(56, 26, 181, 22);

    grid_ = new CGridCtrl(this);
    grid_->setObjectName(QStringLiteral("detailGrid"));

    close_ = new CBmpButton(this);
    close_->setObjectName(QStringLiteral("btnClose"));
    close_->LoadBitmap(QStringLiteral("BMP\\닫기_5024.bmp"), QStringLiteral("BMP\\닫기_5024_d.bmp"), QString());
    connect(close_, &QAbstractButton::clicked, this, &CAccountDetailDlg::On212001);

    inquiry_ = new CBmpButton(this);
    inquiry_->setObjectName(QStringLiteral("btnInquiry"));
    inquiry_->LoadBitmap(QStringLiteral("BMP\\조회_5024.bmp"), QStringLiteral("BMP\\조회_5024_d.bmp"), QString());
    connect(inquiry_, &QAbstractButton::clicked, this, &CAccountDetailDlg::On212002);

    buildGrid();
}

CAccountDetailDlg::~CAccountDetailDlg() = default;

int CAccountDetailDlg::DoModal()
{
    return platform::execModal(this);
}

bool CAccountDetailDlg::Inquire(QWidget* window, CTVPB2100* screen, const QString& code, const QString& number,
                                QString& reply)
{
    QString accNo = number;
    accNo.remove(QLatin1Char('-'));
    CUserInfo* user = screen->User();
    const QString query = FormatQuery(QStringLiteral("encrypt=1&trcode=PDA_A008&UserID=%s&DepositKind=%s&AccNO=%s"),
                                      {user ? user->GetUserID() : QString(), code, accNo});
    KitRequest request = screen->Request(window);
    return request.SendPlain(query, reply, false);
}

void CAccountDetailDlg::buildGrid()
{
    const QStringList labels = kit::FreeFields(reply_, -1, QStringLiteral("free1"));
    const QStringList values = kit::FreeFields(reply_, -1, QStringLiteral("free0"));
    const int n = static_cast<int>(labels.size());

    grid_->DeleteAllItems();
    grid_->SetColumnCount(2);
    grid_->SetRowCount(n);
    grid_->SetFixedRowCount(0);
    grid_->SetFixedColumnCount(0);
    grid_->EnableSelection(FALSE);
    grid_->SetEditable(FALSE);
    grid_->SetFrameFocusCell(FALSE);
    grid_->SetColumnResize(FALSE);
    grid_->SetRowResize(FALSE);
    grid_->SetGridLineColor(RGB(0, 0, 0));
    grid_->SetColumnWidth(0, 96);
    grid_->SetColumnWidth(1, 140);
    for (int r = 0; r < n; ++r) {
        grid_->SetRowHeight(r, kItemHeight);
        grid_->SetItemText(r, 0, labels[r]);
        grid_->SetItemText(r, 1, values.value(r));
        for (int c = 0; c < 2; ++c) {
            grid_->SetItemFormat(r, c, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            grid_->SetItemFgColour(r, c, RGB(0, 0, 0));
        }
        grid_->SetItemBkColour(r, 0, kit::kGridHeaderColour);
        grid_->SetItemBkColour(r, 1, kit::kGridValueColour);
    }
    // One 22-pixel line per item; a long list scrolls above the buttons.
    const int height = std::min(kItemHeight * n + 2, 200);
    grid_->setGeometry(3, 51, 236, height);
    grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int buttonsTop = 51 + height + 6;
    inquiry_->setGeometry(66, buttonsTop, 50, 24);
    close_->setGeometry(124, buttonsTop, 50, 24);
    grid_->Refresh();
}

void CAccountDetailDlg::On212001()
{
    done(QDialog::Accepted);
}

void CAccountDetailDlg::On212002()
{
    const int chosen = combo_->currentIndex();
    if (chosen < 0 || chosen == current_ || chosen >= numbers_.size())
        return;
    if (KitRequest::IsBusy(screen_->Session(), screen_->Download()))
        return;
    QString reply;
    if (!Inquire(this, screen_, codes_.value(chosen), numbers_.value(chosen), reply)) {
        // The combo goes back to the account shown.
        combo_->setCurrentIndex(current_);
        return;
    }
    reply_ = reply;
    current_ = chosen;
    buildGrid();
}
