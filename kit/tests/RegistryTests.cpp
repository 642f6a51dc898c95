#include <gtest/gtest.h>

#include "KitRegistry.h"
#include "ModalScript.h"
#include "Registry.h"

using platform::Registry;
using platform::Root;

TEST(KitRegistry, SettingsAreReadFromTheStartModuleKey)
{
    harness::ModalScript modals;
    const QString key = QString::fromUtf16(kit::kSettingsKey);
    QString entry = QStringLiteral("stale");
    int option = 5;
    // A fresh device: the key is created, the values are missing.
    EXPECT_FALSE(ReadConnectModem(entry));
    EXPECT_TRUE(entry.isEmpty());
    EXPECT_FALSE(ReadNetworkOption(option));
    EXPECT_TRUE(Registry::keyExists(Root::LocalMachine, key));

    ASSERT_TRUE(Registry::setText(Root::LocalMachine, key, QStringLiteral("Connect_Modem"), QStringLiteral("SKT 무선")));
    ASSERT_TRUE(Registry::setNumber(Root::LocalMachine, key, QStringLiteral("Network_Connect_Option"), 1));
    EXPECT_TRUE(ReadConnectModem(entry));
    EXPECT_EQ(entry, QStringLiteral("SKT 무선"));
    EXPECT_TRUE(ReadNetworkOption(option));
    EXPECT_EQ(option, 1);
    ASSERT_TRUE(Registry::setNumber(Root::LocalMachine, key, QStringLiteral("Network_Connect_Option"), 0xFFFFFFFFu));
    EXPECT_TRUE(ReadNetworkOption(option));
    EXPECT_EQ(option, -1);
}

TEST(KitRegistry, CardSettingsNeedTheCardKeyToWrite)
{
    harness::ModalScript modals;
    modals.expectMessage(QStringLiteral("RegOpenKeyEx Failed"));
    EXPECT_FALSE(WriteCardSetting(QStringLiteral("1"), false));
    modals.verify();
    EXPECT_EQ(modals.seen().at(0).flags & 0xF0u, unsigned(platform::MB_ICONWARNING));

    QString value;
    EXPECT_FALSE(ReadCardSetting(value, false)); // creates the key, nothing stored yet
    EXPECT_TRUE(WriteCardSetting(QStringLiteral("0123"), false));
    EXPECT_TRUE(WriteCardSetting(QStringLiteral("temp"), true));
    EXPECT_TRUE(ReadCardSetting(value, false));
    EXPECT_EQ(value, QStringLiteral("0123"));
    EXPECT_TRUE(ReadCardSetting(value, true));
    EXPECT_EQ(value, QStringLiteral("temp"));

    EXPECT_TRUE(DeleteCardTemp());
    EXPECT_FALSE(ReadCardSetting(value, true));
    EXPECT_TRUE(ReadCardSetting(value, false)); // Card_Set stays
    EXPECT_EQ(value, QStringLiteral("0123"));
}
