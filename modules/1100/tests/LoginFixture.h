#pragma once
// The start screen against a real in-process bank, with the shell's three
// shared objects and a stand-in for the shell window that records switches.
#include <gtest/gtest.h>

#include "CTVPB1100.h"
#include "ClientBank.h"
#include "ModalScript.h"

#include <CQV.h>
#include <CRasEx.h>
#include <CUserInfo.h>
#include <Deploy.h>
#include <ModuleSwitch.h>
#include <Registry.h>
#include <TestHome.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

namespace logintest {

// Records the module-switch messages posted to it, as the shell window would get them.
class SwitchSink : public QWidget {
public:
    QList<int> codes;
    QStringList texts;

protected:
    void customEvent(QEvent* e) override
    {
        if (e->type() == platform::kModuleSwitchEvent) {
            auto* s = static_cast<platform::ModuleSwitchEvent*>(e);
            codes << s->code();
            texts << s->text();
        }
    }
};

inline const QString kKey = QStringLiteral("SOFTWARE\\Corvane\\TavrinBank_PdaBanking\\TVPB_1100");

inline void setNumber(const QString& name, quint32 v)
{
    platform::Registry::setNumber(platform::Root::LocalMachine, kKey, name, v);
}
inline void setText(const QString& name, const QString& v)
{
    platform::Registry::setText(platform::Root::LocalMachine, kKey, name, v);
}
inline std::optional<quint32> number(const QString& name)
{
    return platform::Registry::getNumber(platform::Root::LocalMachine, kKey, name);
}
inline std::optional<QString> text(const QString& name)
{
    return platform::Registry::getText(platform::Root::LocalMachine, kKey, name);
}

inline void writeBook(const QString& body)
{
    QFile f(QDir(harness::testHome()).filePath(QStringLiteral("rasbook.ini")));
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(body.toUtf8());
}

inline void pump()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

class LoginTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        session.SetVgateProp(platform::Deploy::serverHost(), 443u, 8080u);
        session.SetServerProp(1);
    }
    void TearDown() override
    {
        if (ras.RAS_IsConnected()) ras.RAS_Disconnect();
    }

    // A fresh visit of the start screen, as the shell constructs it.
    std::unique_ptr<CTVPB1100> visit()
    {
        auto screen = std::make_unique<CTVPB1100>(&sink);
        screen->SetCommonVar(&session, &ras, &user);
        return screen;
    }

    static QLineEdit* idField(CTVPB1100& s) { return s.findChild<QLineEdit*>(QStringLiteral("edit1001")); }
    static QLineEdit* pwField(CTVPB1100& s) { return s.findChild<QLineEdit*>(QStringLiteral("edit1002")); }
    static QCheckBox* storeBox(CTVPB1100& s) { return s.findChild<QCheckBox*>(QStringLiteral("check135")); }
    static void press(CTVPB1100& s, const char* name)
    {
        QTest::mouseClick(s.findChild<QWidget*>(QString::fromLatin1(name)), Qt::LeftButton);
    }
    static void typeInto(QLineEdit* edit, const QString& keys)
    {
        edit->setFocus();
        edit->clear();
        QTest::keyClicks(edit, keys);
    }

    harness::ClientBank bank;
    SwitchSink sink;
    CQV session;
    CRasEx ras;
    CUserInfo user;
    harness::ModalScript modals;
};

} // namespace logintest
