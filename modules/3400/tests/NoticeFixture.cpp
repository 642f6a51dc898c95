#include "NoticeFixture.h"

#include "CBmpButton.h"
#include "CColorStatic.h"
#include "CGridCtrl.h"
#include "CTVPB3400.h"
#include "Notices.h"
#include "Sqlite.h"

namespace t3400 {

NoticeFixture::NoticeFixture() : harness::ModuleBankTest("gate-3400")
{
    login();
}

NoticeFixture::~NoticeFixture()
{
    screen.reset();
}

void NoticeFixture::addNotices(int count)
{
    bank.addNotices(count);
}

long long NoticeFixture::addNotice(const std::string& title, const std::string& body)
{
    long long num = 0;
    bank.store->write([&](bankd::Db& db) { num = bankd::notices::add(db, "20241104", title, body); });
    return num;
}

CTVPB3400* NoticeFixture::openScreen()
{
    return openModule(screen);
}

CGridCtrl* NoticeFixture::grid() const
{
    return screen->findChild<CGridCtrl*>(QStringLiteral("noticeGrid"));
}

CBmpButton* NoticeFixture::button(const char* name) const
{
    return screen->findChild<CBmpButton*>(QLatin1String(name));
}

QString NoticeFixture::timeText() const
{
    return screen->findChild<CColorStatic*>(QStringLiteral("noticeTime"))->GetWindowText();
}

QStringList NoticeFixture::rowTitles() const
{
    QStringList out;
    CGridCtrl* g = grid();
    for (int r = 0; r < g->GetRowCount(); ++r) {
        out << g->GetItemText(r, 0);
    }
    return out;
}

} // namespace t3400
