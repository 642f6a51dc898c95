#include "CAccountListPage.h"

#include "CGridCtrl.h"
#include "CTVPB3200.h"
#include "CUserInfo.h"
#include "KitGrid.h"
#include "KitPrompts.h"
#include "KitQuery.h"
#include "KitRequest.h"

CAccountListPage::CAccountListPage(int idd, CTVPB3200* screen) : CExTabPage(idd, screen), screen_(screen) {}

CAccountListPage::~CAccountListPage() = default;

CGridCtrl* CAccountListPage::addListGrid(const char* objectName)
{
    auto* grid = new CGridCtrl(this);
    grid->setObjectName(QLatin1String(objectName));
    grid->setGeometry(0, 30, 238, 208);
    return grid;
}

bool CAccountListPage::busy() const
{
    return KitRequest::IsBusy(screen_->Session(), screen_->Download());
}

int CAccountListPage::selectedRowOrAsk() const
{
    const int row = kit::FirstSelectedRow(grid_);
    if (row < 0)
        ShowMsg(screen_, QStringLiteral("계좌를 선택해 주세요"), false);
    return row;
}

bool CAccountListPage::load(bool checkBusy, bool emptyOnFailure)
{
    CUserInfo* user = screen_->User();
    KitRequest req = screen_->Request(screen_);
    req.SetCheckBusy(checkBusy);
    QString reply;
    if (!req.SendPlain(FormatQuery(listQuery(), {user ? user->GetUserID() : QString()}), reply, false)) {
        if (emptyOnFailure && !req.WasBusy())
            showList(QString());
        return false;
    }
    showList(reply);
    return true;
}

void CAccountListPage::OnReload()
{
    if (busy())
        return;
    load(/*checkBusy=*/true, /*emptyOnFailure=*/false);
}
