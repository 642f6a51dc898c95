#include "CFavouriteDlg.h"

#include "CBmpButton.h"
#include "CColorStatic.h"
#include "CGridCtrl.h"
#include "CTVPB2200.h"
#include "CUserInfo.h"
#include "KitCodeTables.h"
#include "KitGrid.h"
#include "KitPrompts.h"
#include "KitQuery.h"
#include "KitReply.h"
#include "KitRequest.h"
#include "Modal.h"

CFavouriteDlg::CFavouriteDlg(CTVPB2200* screen) : platform::DialogBase(screen), screen_(screen)
{
    setObjectName(QStringLiteral("CFavouriteDlg"));
    setWindowTitle(QStringLiteral("자주쓰는입금계좌"));
    kit::AddDialogTitle(this, QStringLiteral("자주쓰는 입금계좌관리"), QStringLiteral("favouriteTitle"));

    grid_ = new CGridCtrl(this);
    grid_->setObjectName(QStringLiteral("favouriteGrid"));
    grid_->setGeometry(0, 26, 240, 234);
    grid_->hide();

    auto button = [this](const char* name, const QString& image, int x, int w, void (CFavouriteDlg::*slot)()) {
        auto* b = new CBmpButton(this);
        b->setObjectName(QString::fromLatin1(name));
        b->LoadBitmap(QStringLiteral("BMP\\%1.bmp").arg(image), QStringLiteral("BMP\\%1_d.bmp").arg(image), QString());
        b->setGeometry(x, 266, w, 24);
        connect(b, &QAbstractButton::clicked, this, slot);
    };
    button("btnReload", QStringLiteral("이전으로_3224"), 40, 32, &CFavouriteDlg::OnReload);
    button("btnCancel", QStringLiteral("취소_4524"), 100, 45, &CFavouriteDlg::OnCancel);
    button("btnOk", QStringLiteral("확인_4524"), 160, 45, &CFavouriteDlg::OnOk);
}

CFavouriteDlg::~CFavouriteDlg() = default;

int CFavouriteDlg::DoModal()
{
    load(/*checkBusy=*/false);
    grid_->show();
    return doModal() == QDialog::Accepted ? platform::IDOK : platform::IDCANCEL;
}

void CFavouriteDlg::load(bool checkBusy)
{
    CUserInfo* user = screen_->User();
    KitRequest request = screen_->Request(this);
    request.SetCheckBusy(checkBusy);
    QString reply;
    const QString query = FormatQuery(QStringLiteral("encrypt=1&trcode=PDA_A001&UserID=%s"),
                                      {user ? user->GetUserID() : QString()});
    if (!request.SendPlain(query, reply, false)) {
        if (!request.WasBusy())
            fill({});
        return;
    }
    fill(kit::ListRecords(reply, 6));
}

void CFavouriteDlg::fill(const QList<QStringList>& records)
{
    count_ = static_cast<int>(records.size());
    const bool few = count_ <= kMinRows;
    kit::LayoutListGrid(grid_,
                             {QStringLiteral("입금계좌명"), QStringLiteral("입금은행"), QStringLiteral("입금계좌번호"),
                              QStringLiteral("은행코드(숨김)")},
                             few ? QList<int>{122, 107, 122, 0} : QList<int>{122, 101, 116, 0},
                             few ? kMinRows : count_, few);
    for (int i = 0; i < count_; ++i) {
        const QStringList& r = records[i];
        grid_->SetItemText(i + 1, ColName, r[1]);
        grid_->SetItemText(i + 1, ColBank, ZentabNameOf(r[0]));
        grid_->SetItemText(i + 1, ColAccount, r[2]);
        grid_->SetItemText(i + 1, ColCode, r[0]);
    }
    grid_->AutoSizeColumns();
    grid_->Refresh();
}

void CFavouriteDlg::OnReload()
{
    load(/*checkBusy=*/true);
}

void CFavouriteDlg::OnCancel()
{
    reject();
}

void CFavouriteDlg::OnOk()
{
    for (int r = 1; r < grid_->GetRowCount(); ++r) {
        if (!grid_->IsRowSelected(r))
            continue;
        if (!grid_->GetItemText(r, ColAccount).isEmpty()) {
            account_ = grid_->GetItemText(r, ColAccount);
            bankName_ = grid_->GetItemText(r, ColBank);
            accept();
            return;
        }
        break;
    }
    ShowMsg(this, QStringLiteral("입금계좌를 선택하십시요"), false);
}
