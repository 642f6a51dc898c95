#include "CTVPB3500.h"

#include "CBmpButton.h"
#include "CColorStatic.h"
#include "CGridCtrl.h"
#include "CNoticeBoard.h"
#include "CQD.h"
#include "ConnectNetwork.h"
#include "DeviceFrame.h"
#include "KitRequest.h"
#include "Modal.h"
#include "ModuleCodes.h"
#include "NetSettings.h"

namespace {

// The module library's one download object, created when the library loads.
CQD g_download;

} // namespace

CTVPB3500::CTVPB3500(QWidget* parent) : CModuleFrame(kit::kModuleOpenNotices, parent)
{
    setWindowTitle(QStringLiteral("공지사항"));
    SetDownload(&g_download);
    // Without a login the only way out is the start screen, however the
    // screen closes.
    *NextModulePtr() = kit::kModuleLogin;
}

CTVPB3500::~CTVPB3500() = default;

bool CTVPB3500::OnInitDialog()
{
    setAutoFillBackground(true);
    time_ = new CColorStatic(this);
    time_->setObjectName(QStringLiteral("noticeTime"));
    time_->SetAlignment(DT_LEFT | DT_VCENTER);
    time_->setGeometry(4, 4, 100, 20);

    forward_ = new CBmpButton(this);
    forward_->setObjectName(QStringLiteral("btnForward"));
    forward_->LoadBitmap(QStringLiteral("BMP\\앞으로_D3224.bmp"), QStringLiteral("BMP\\앞으로_D3224.bmp"), QString());
    forward_->SizeToContent();
    forward_->move(140, 2);
    forward_->hide();
    next_ = CBmpButton::Create(this, "btnNext", QStringLiteral("뒤로_3224"), 172, 2);
    next_->hide();
    // 상세 and 이전으로 stay dimmed until a connection exists.
    first_ = new CBmpButton(this);
    first_->setObjectName(QStringLiteral("btnFirst"));
    first_->LoadBitmap(QStringLiteral("BMP\\이전으로_D3224.bmp"), QString(), QString());
    first_->SizeToContent();
    first_->move(204, 2);
    first_->EnableWindow(FALSE);
    detail_ = new CBmpButton(this);
    detail_->setObjectName(QStringLiteral("btnDetail"));
    detail_->LoadBitmap(QStringLiteral("BMP\\상세_D4524.bmp"), QString(), QString());
    detail_->SizeToContent();
    detail_->move(146, 27);
    detail_->EnableWindow(FALSE);
    close_ = CBmpButton::Create(this, "btnClose", QStringLiteral("닫기_4524"), 191, 27);

    grid_ = new CGridCtrl(this);
    grid_->setObjectName(QStringLiteral("noticeGrid"));
    grid_->setGeometry(4, 54, 232, platform::kWorkAreaHeight - 54 - 4);

    QObject::connect(detail_, &QAbstractButton::clicked, this, &CTVPB3500::On350001);
    QObject::connect(first_, &QAbstractButton::clicked, this, &CTVPB3500::On350002);
    QObject::connect(next_, &QAbstractButton::clicked, this, &CTVPB3500::On350003);
    QObject::connect(close_, &QAbstractButton::clicked, this, &CTVPB3500::On350005);

    CNoticeBoard::Controls c;
    c.window = this;
    c.grid = grid_;
    c.time = time_;
    c.next = next_;
    c.forward = forward_;
    c.detailCaption = QStringLiteral("공지사항 상세");
    board_ = new CNoticeBoard(this, c);
    board_->InitGridCtrl();

    if (!ConnectFirst())
        return true; // the screen stays empty; 닫기 leads back
    connected_ = true;
    enableButtons();
    board_->FirstPage(/*atStart=*/true);
    return true;
}

bool CTVPB3500::ConnectFirst()
{
    if (netsettings::ReadNetworkConnectOption() < 0) {
        // A device that was never set up: say why the list stays empty.
        platform::messageBox(this, QStringLiteral("먼저 환경설정에서 네트워크 연결 방식을 선택하세요."),
                             QStringLiteral("메시지"), platform::MB_OK | platform::MB_ICONINFORMATION);
        return false;
    }
    // LAN, a link that is up, or a dial of the chosen entry (its failures are
    // shown there).
    return netsettings::ConnectNetwork(this, Ras()) != 0;
}

void CTVPB3500::enableButtons()
{
    first_->LoadBitmap(QStringLiteral("BMP\\이전으로_3224.bmp"), QStringLiteral("BMP\\이전으로_3224_d.bmp"), QString());
    detail_->LoadBitmap(QStringLiteral("BMP\\상세_4524.bmp"), QStringLiteral("BMP\\상세_4524_d.bmp"), QString());
    first_->EnableWindow(TRUE);
    detail_->EnableWindow(TRUE);
}

void CTVPB3500::On350001() { board_->Detail(); }
void CTVPB3500::On350002() { board_->FirstPage(); }
void CTVPB3500::On350003() { board_->NextPage(); }

void CTVPB3500::On350005()
{
    if (IsInitialising() || KitRequest::IsBusy(Session(), Download()))
        return;
    CloseWithModule(kit::kModuleLogin);
}

TVPB_EXPORT_MODULE(CTVPB3500)
