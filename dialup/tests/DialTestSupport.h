#pragma once
// Shared fixture of the dial-up tests: an injected clock, a deploy.ini with the
// carrier values, a simulated phone book written per test, and a driver that runs
// the progress dialog by advancing the injected clock.
#include <QDialog>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include "CRasEx.h"

namespace dialtest {

inline const QString kSktAccount = QStringLiteral("tvpbpda@skt.tavrin.kr");
inline const QString kLgtRealm = QStringLiteral("lgtpda.kr");

// CRasEx with its protected operations opened for tests.
class TestRasEx : public CRasEx {
public:
    using CRasEx::CheckEntryName;
    using CRasEx::GetUserID;
    using CRasEx::GetUserInfo;
    using CRasEx::GetUserPasswd;
    using CRasEx::InitVariable;
    using CRasEx::SaveSetting;
};

class DialTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes $TVPB_HOME/rasbook.ini.
    void writeBook(const QString& text);
    // Registry values of an entry's key.
    QString stored(const QString& entry, const QString& name);
    void store(const QString& entry, const QString& name, const QString& value);

    // Drives a shown progress dialog: advances the clock by `stepMs` at a time
    // and lets the dial's notifications arrive, until the dialog closes. Every
    // status text shown is appended to statuses; `during` runs once after the
    // first step (a test may cancel there). Returns the dialog's result.
    int driveProgress(QDialog* dlg, int stepMs = 100, const std::function<void()>& during = {});

    // Saves a screenshot of the dialog into $TVPB_SHOTS (or /tmp/shots); returns the path.
    static QString shoot(QWidget* w, const QString& name);

    qint64 ticks = 0;
    QStringList statuses;
    QString lastStatus;
};

} // namespace dialtest
