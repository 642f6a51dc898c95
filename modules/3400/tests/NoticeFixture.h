#pragma once
// Module 3400's screen on the shared module test base, with the bank's notices
// as the tests need them.
#include <memory>
#include <string>

#include <QString>

#include "ModuleBankTest.h"

class CBmpButton;
class CGridCtrl;
class CTVPB3400;

namespace t3400 {

class NoticeFixture : public harness::ModuleBankTest {
protected:
    NoticeFixture();
    ~NoticeFixture() override;

    // Posts notices "공지 1" ... "공지 count" (numbers 1 ... count).
    void addNotices(int count);
    // Posts one notice; returns its number.
    long long addNotice(const std::string& title, const std::string& body);
    CTVPB3400* openScreen();

    CGridCtrl* grid() const;
    CBmpButton* button(const char* name) const;
    QString timeText() const;
    // What the rows show, in row order ("> " and the title).
    QStringList rowTitles() const;

    std::unique_ptr<CTVPB3400> screen;
};

} // namespace t3400
