#include <gtest/gtest.h>

#include <QComboBox>

#include "KitCodeTables.h"

TEST(KitCodeTables, BankLookupsBothWays)
{
    EXPECT_EQ(ZentabNameOf(QStringLiteral("20")), QStringLiteral("타브린은행"));
    EXPECT_EQ(ZentabNameOf(QStringLiteral("99")), QString());
    // The last row has no line end.
    EXPECT_EQ(ZentabCodeOf(QStringLiteral("ABN-AMRO")), QStringLiteral("56"));
    EXPECT_EQ(ZentabNameOf(QStringLiteral("56")), QStringLiteral("ABN-AMRO"));
    EXPECT_EQ(ZentabCodeOf(QStringLiteral("우체국")), QStringLiteral("71"));
    EXPECT_EQ(ZentabNameOf(QStringLiteral("03")), QStringLiteral("중소기업은행"));
    // Exact matches only: no prefixes, codes are not names, names are not codes.
    EXPECT_EQ(ZentabCodeOf(QStringLiteral("타브린")), QString());
    EXPECT_EQ(ZentabCodeOf(QStringLiteral("20")), QString());
    EXPECT_EQ(ZentabNameOf(QStringLiteral("타브린은행")), QString());
    EXPECT_EQ(ZentabNameOf(QStringLiteral("3")), QString());
    EXPECT_EQ(ZentabCodeOf(QString()), QString());
}

TEST(KitCodeTables, OccupationLookups)
{
    EXPECT_EQ(QuendraNameOf(QStringLiteral("2100")), QStringLiteral("농,수렵,임업,어업,광업"));
    EXPECT_EQ(QuendraCodeOf(QStringLiteral("제조업")), QStringLiteral("2200"));
    EXPECT_EQ(QuendraCodeOf(QStringLiteral("공기업,공공단체")), QStringLiteral("1700"));
    EXPECT_EQ(QuendraNameOf(QStringLiteral("9999")), QString());
    EXPECT_EQ(QuendraCodeOf(QStringLiteral("공기업")), QString());
}

TEST(KitCodeTables, FillZentabComboAddsEveryNameInOrder)
{
    QComboBox combo;
    FillZentabCombo(&combo);
    ASSERT_EQ(combo.count(), 30);
    EXPECT_EQ(combo.itemText(0), QStringLiteral("타브린은행"));
    EXPECT_EQ(combo.itemText(1), QStringLiteral("경남은행"));
    EXPECT_EQ(combo.itemText(29), QStringLiteral("ABN-AMRO"));
    FillZentabCombo(nullptr); // harmless
}
