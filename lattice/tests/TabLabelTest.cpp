// Tab control and pages, coloured labels, colour packing and the user record.
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>
#include <gtest/gtest.h>

#include "CColorStatic.h"
#include "CExTabCtrl.h"
#include "CExTabPage.h"
#include "CUserInfo.h"

namespace {

class CountingPage : public CExTabPage {
public:
    using CExTabPage::CExTabPage;
    int inits = 0;
    int activations = 0;

protected:
    BOOL OnInitDialog() override
    {
        ++inits;
        return TRUE;
    }
    void OnActivatePage() override { ++activations; }
};

struct Screen {
    QWidget screen;
    CExTabCtrl* tabs;
    CountingPage* pages[3];

    Screen()
    {
        screen.resize(240, 294);
        tabs = new CExTabCtrl(&screen);
        tabs->setGeometry(0, 40, 240, 254);
        const char* captions[] = {"보유계좌", "거래내역", "수표조회"};
        for (int i = 0; i < 3; ++i) {
            pages[i] = new CountingPage(2110 + i, &screen);
            EXPECT_TRUE(tabs->AddPageEx(QString::fromUtf8(captions[i]), i, pages[i]));
        }
        screen.show();
    }
};

void tapTab(CExTabCtrl* tabs, int index)
{
    QTabBar* bar = tabs->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
}

TEST(TabCtrl, PagesKeepTheScreenAsParentAndTheFirstShows)
{
    Screen s;
    EXPECT_EQ(s.tabs->GetItemCount(), 3);
    EXPECT_EQ(s.tabs->GetItemText(1), QStringLiteral("거래내역"));
    for (auto* p : s.pages) {
        EXPECT_EQ(p->parentWidget(), &s.screen);
        EXPECT_EQ(p->inits, 1);
    }
    EXPECT_EQ(s.tabs->GetCurSel(), 0);
    EXPECT_TRUE(s.pages[0]->isVisible());
    EXPECT_FALSE(s.pages[1]->isVisible());
    // The page covers the control's page area, below the tabs.
    const QRect area = s.tabs->GetPageRect().translated(s.tabs->pos());
    EXPECT_EQ(s.pages[0]->geometry(), area);
    EXPECT_GT(area.top(), s.tabs->y());
    EXPECT_EQ(s.pages[0]->GetDlgID(), 2110);
}

TEST(TabCtrl, TappingATabNotifiesItsIndexAndSwapsPages)
{
    Screen s;
    QSignalSpy changed(s.tabs, &CExTabCtrl::selChanged);
    tapTab(s.tabs, 2);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toInt(), 2);
    EXPECT_EQ(s.tabs->GetCurSel(), 2);
    EXPECT_TRUE(s.pages[2]->isVisible());
    EXPECT_FALSE(s.pages[0]->isVisible());
    EXPECT_EQ(s.pages[2]->activations, 1);
    tapTab(s.tabs, 1);
    ASSERT_EQ(changed.count(), 2);
    EXPECT_EQ(changed.at(1).at(0).toInt(), 1);
}

TEST(TabCtrl, ProgramSelectionSwapsPagesQuietly)
{
    Screen s;
    QSignalSpy changed(s.tabs, &CExTabCtrl::selChanged);
    EXPECT_EQ(s.tabs->SetCurSel(1), 0);
    EXPECT_EQ(changed.count(), 0);
    EXPECT_TRUE(s.pages[1]->isVisible());
    EXPECT_EQ(s.tabs->SetCurSel(7), -1);
    EXPECT_EQ(s.tabs->GetCurSel(), 1);
    s.tabs->SelectTab(2);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toInt(), 2);
}

TEST(TabCtrl, RefusesMissingAndRepeatedPages)
{
    Screen s;
    EXPECT_FALSE(s.tabs->AddPageEx(QStringLiteral("없음"), 3, nullptr));
    EXPECT_FALSE(s.tabs->AddPageEx(QStringLiteral("다시"), 3, s.pages[0]));
    EXPECT_EQ(s.tabs->GetItemCount(), 3);
    EXPECT_EQ(s.tabs->GetPageIndex(s.pages[2]), 2);
    EXPECT_EQ(s.tabs->GetPage(5), nullptr);
}

TEST(TabCtrl, HidingTheControlHidesItsPage)
{
    Screen s;
    s.tabs->hide();
    EXPECT_FALSE(s.pages[0]->isVisible());
    s.tabs->show();
    EXPECT_TRUE(s.pages[0]->isVisible());
}

TEST(ColorStatic, PaintsItsColours)
{
    CColorStatic label(QStringLiteral("홍길동"));
    label.resize(100, 20);
    label.SetBkColor(RGB(206, 239, 255));
    label.SetTextColor(RGB(0, 0, 0));
    EXPECT_EQ(label.GetBkColor(), RGB(206, 239, 255));
    EXPECT_EQ(label.GetTextColor(), RGB(0, 0, 0));
    EXPECT_EQ(label.GetWindowText(), QStringLiteral("홍길동"));
    const QImage img = label.grab().toImage();
    EXPECT_EQ(img.pixelColor(98, 2), QColor(206, 239, 255));
    // The text is drawn in the text colour somewhere on the left.
    bool dark = false;
    for (int x = 0; x < 50 && !dark; ++x)
        for (int y = 0; y < 20 && !dark; ++y)
            dark = qGray(img.pixel(x, y)) < 80;
    EXPECT_TRUE(dark);
}

TEST(Colours, PackedBlueGreenRed)
{
    EXPECT_EQ(RGB(181, 178, 181), 0x00B5B2B5u);
    EXPECT_EQ(RGB(1, 2, 3), 0x00030201u);
    EXPECT_EQ(GetRValue(RGB(206, 239, 255)), 206);
    EXPECT_EQ(GetGValue(RGB(206, 239, 255)), 239);
    EXPECT_EQ(GetBValue(RGB(206, 239, 255)), 255);
    EXPECT_EQ(colorFromRef(RGB(224, 224, 224)), QColor(224, 224, 224));
    EXPECT_EQ(refFromColor(QColor(10, 20, 30)), RGB(10, 20, 30));
}

TEST(UserInfo, KeepsEveryValueUntilCleared)
{
    CUserInfo u;
    u.SetUserID(QStringLiteral("TAVRIN01"));
    u.SetUserName(QStringLiteral("홍길동"));
    u.SetJuminNo(QStringLiteral("8001011234567"));
    u.SetSecurityWay(QStringLiteral("S"));
    u.SetUseHiddenAcc(QStringLiteral("N"));
    EXPECT_EQ(u.GetUserID(), QStringLiteral("TAVRIN01"));
    EXPECT_EQ(u.GetUserName(), QStringLiteral("홍길동"));
    EXPECT_EQ(u.GetJuminNo(), QStringLiteral("8001011234567"));
    EXPECT_EQ(u.GetSecurityWay(), QStringLiteral("S"));
    EXPECT_EQ(u.GetUseHiddenAcc(), QStringLiteral("N"));
    u.Clear();
    EXPECT_EQ(u.GetUserID(), QString());
    EXPECT_EQ(u.GetSecurityWay(), QString());
}

} // namespace
