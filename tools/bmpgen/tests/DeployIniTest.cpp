// The default deploy.ini: its carrier values, and the rule that a file rewritten
// in the program folder (bankd init stores the gateway key there) is kept.
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "TestFiles.h"

using namespace bmpgen::test;

namespace {

class DeployInstall : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString tmpl() const { return dir.filePath(QStringLiteral("deploy.ini.default")); }
    QString dest() const { return dir.filePath(QStringLiteral("bin/deploy.ini")); }
    QString mark() const { return dir.filePath(QStringLiteral("deploy.ini.installed")); }

    static void write(const QString& path, const QByteArray& text)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }

    // Runs the install step the build runs; true when it succeeded.
    bool install()
    {
        QProcess p;
        p.start(QStringLiteral(BMPGEN_CMAKE_COMMAND),
                {QStringLiteral("-DTEMPLATE=") + tmpl(), QStringLiteral("-DDEST=") + dest(),
                 QStringLiteral("-DMARK=") + mark(), QStringLiteral("-P"),
                 sourceDir() + QStringLiteral("/InstallDeployIni.cmake")});
        if (!p.waitForFinished(60000))
            return false;
        return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }
};

} // namespace

TEST_F(DeployInstall, InstallsTheDefaultWhereThereIsNone)
{
    write(tmpl(), "[bank]\nserver_host=a:1\n");
    ASSERT_TRUE(install());
    EXPECT_EQ(readAll(dest()), QByteArray("[bank]\nserver_host=a:1\n"));
}

TEST_F(DeployInstall, UpdatesAnUntouchedFileWhenTheDefaultChanges)
{
    write(tmpl(), "[bank]\nserver_host=a:1\n");
    ASSERT_TRUE(install());
    write(tmpl(), "[bank]\nserver_host=b:2\n");
    ASSERT_TRUE(install());
    EXPECT_EQ(readAll(dest()), QByteArray("[bank]\nserver_host=b:2\n"));
    // And again, once more changed.
    write(tmpl(), "[bank]\nserver_host=c:3\n");
    ASSERT_TRUE(install());
    EXPECT_EQ(readAll(dest()), QByteArray("[bank]\nserver_host=c:3\n"));
}

TEST_F(DeployInstall, KeepsAFileRewrittenInTheProgramFolder)
{
    write(tmpl(), "[bank]\nserver_host=a:1\ngateway_public_key=\n");
    ASSERT_TRUE(install());
    const QByteArray rewritten("[bank]\nserver_host=a:1\ngateway_public_key=QUJD\n");
    write(dest(), rewritten);
    ASSERT_TRUE(install());
    EXPECT_EQ(readAll(dest()), rewritten);
    // Not even a new default replaces it.
    write(tmpl(), "[bank]\nserver_host=z:9\ngateway_public_key=\n");
    ASSERT_TRUE(install());
    EXPECT_EQ(readAll(dest()), rewritten);
}

TEST_F(DeployInstall, KeepsAFileFoundWithoutAnyRecordOfAnEarlierDefault)
{
    const QByteArray existing("[bank]\nserver_host=mine:5\n");
    write(dest(), existing);
    write(tmpl(), "[bank]\nserver_host=a:1\n");
    ASSERT_TRUE(install());
    EXPECT_EQ(readAll(dest()), existing);
}

TEST(DeployDefault, CarrierValuesMatchTheDialUpAccountRules)
{
    QSettings ini(sourceDir() + QStringLiteral("/deploy.ini.in"), QSettings::IniFormat);
    EXPECT_EQ(ini.value(QStringLiteral("bank/server_host")).toString(), QStringLiteral("@TVPB_DEPLOY_SERVER_HOST@"));
    EXPECT_EQ(ini.value(QStringLiteral("bank/gateway_public_key")).toString(), QString());
    EXPECT_EQ(ini.value(QStringLiteral("download/host")).toString(), QStringLiteral("@TVPB_DEPLOY_DOWNLOAD_HOST@"));
    // The dial-up library recognises an SKT account by its last 13 characters and
    // an LGT account by its last 9: the realms must have exactly those lengths.
    const QString sktRealm = ini.value(QStringLiteral("carrier/skt_realm")).toString();
    const QString sktAccount = ini.value(QStringLiteral("carrier/skt_account")).toString();
    EXPECT_EQ(sktRealm.size(), 13);
    EXPECT_TRUE(sktAccount.endsWith(QLatin1Char('@') + sktRealm)) << sktAccount.toStdString();
    EXPECT_GT(sktAccount.indexOf(QLatin1Char('@')), 0);
    EXPECT_EQ(ini.value(QStringLiteral("carrier/lgt_realm")).toString().size(), 9);
    EXPECT_FALSE(ini.value(QStringLiteral("carrier/lgt_realm")).toString().contains(QLatin1Char('@')));
    EXPECT_FALSE(ini.value(QStringLiteral("carrier/ktf_realm")).toString().isEmpty());
}
