#include "CNoticeListPage.h"

#include <algorithm>

#include "CBmpButton.h"
#include "CColorStatic.h"
#include "CGridCtrl.h"
#include "CNoticeBoard.h"
#include "CTVPB3400.h"

namespace {

CBmpButton* makeButton(QWidget* parent, const char* name, const QString& normal, const QString& pressed, int x, int y)
{
    auto* b = new CBmpButton(parent);
    b->setObjectName(QLatin1String(name));
    b->LoadBitmap(normal, pressed, QString());
    b->SizeToContent();
    b->move(x, y);
    return b;
}

} // namespace

CNoticeListPage::CNoticeListPage(CTVPB3400* screen) : CExTabPage(IDD, screen), screen_(screen) {}

CNoticeListPage::~CNoticeListPage() = default;

CNoticeBoard* CNoticeListPage::Board()
{
    InitOnce();
    return board_;
}

BOOL CNoticeListPage::OnInitDialog()
{
    time_ = new CColorStatic(this);
    time_->setObjectName(QStringLiteral("noticeTime"));
    time_->SetAlignment(DT_LEFT | DT_VCENTER);
    time_->setGeometry(4, 4, 96, 20);

    const QString forward = QStringLiteral("BMP\\앞으로_D3224.bmp");
    const QString next = QStringLiteral("BMP\\뒤로_3224_d.bmp");
    forward_ = makeButton(this, "btnForward", forward, forward, 134, 2);
    next_ = makeButton(this, "btnNext", next, next, 166, 2);
    first_ = makeButton(this, "btnFirst", QStringLiteral("BMP\\이전으로_3224.bmp"),
                        QStringLiteral("BMP\\이전으로_3224_d.bmp"), 198, 2);
    detail_ = makeButton(this, "btnDetail", QStringLiteral("BMP\\상세_4524.bmp"),
                         QStringLiteral("BMP\\상세_4524_d.bmp"), 185, 27);
    forward_->hide();
    next_->hide();

    grid_ = new CGridCtrl(this);
    grid_->setObjectName(QStringLiteral("noticeGrid"));
    layoutGrid();

    connect(detail_, &QAbstractButton::clicked, this, &CNoticeListPage::On182001);
    connect(first_, &QAbstractButton::clicked, this, &CNoticeListPage::On182002);
    connect(next_, &QAbstractButton::clicked, this, &CNoticeListPage::On182003);

    CNoticeBoard::Controls c;
    c.window = screen_;
    c.grid = grid_;
    c.time = time_;
    c.next = next_;
    c.forward = forward_;
    c.detailCaption = QStringLiteral("공지사항상세");
    board_ = new CNoticeBoard(screen_, c);
    board_->InitGridCtrl();
    return TRUE;
}

void CNoticeListPage::resizeEvent(QResizeEvent* e)
{
    CExTabPage::resizeEvent(e);
    layoutGrid();
}

void CNoticeListPage::layoutGrid()
{
    // Under the buttons, down to the page's bottom.
    if (grid_)
        grid_->setGeometry(4, 54, 232, std::max(20, height() - 56));
}

void CNoticeListPage::On182001() { board_->Detail(); }
void CNoticeListPage::On182002() { board_->FirstPage(); }
void CNoticeListPage::On182003() { board_->NextPage(); }
