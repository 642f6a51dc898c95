// The settings dialog of the start screen: what it shows and what OK writes.
#include "LoginFixture.h"

#include "CSettingDlg.h"

#include <Screenshot.h>

#include <QComboBox>
#include <QLabel>
#include <QRadioButton>

using namespace logintest;

namespace {

const QString kNoModem = QStringLiteral(
    "PDA에 설치된 무선모뎀이 없습니다. 먼저 무선모뎀을 설치하신후 접속을 시도하시기 바랍니다. "
    "모선모뎀에 관한 문의사항은 각 제조사로 연락하세요.");
const QString kBook = QStringLiteral("[device:AnyCell CDMA]\ntype=modem\n"
                                     "[entry:SKT 모뎀]\ndevice=AnyCell CDMA\n"
                                     "[entry:LGT 모뎀]\ndevice=AnyCell CDMA\n"
                                     "[entry:`숨은 항목]\ndevice=AnyCell CDMA\n");

class SettingsTest : public ::testing::Test {
protected:
    template <typename T> static T* child(QDialog* d, const char* name)
    {
        return d->findChild<T*>(QString::fromLatin1(name));
    }
    static QComboBox* list(QDialog* d) { return child<QComboBox>(d, "combo1013"); }
    static QRadioButton* lan(QDialog* d) { return child<QRadioButton>(d, "radio1021"); }
    static QRadioButton* modem(QDialog* d) { return child<QRadioButton>(d, "radio1022"); }
    static QCheckBox* follow(QDialog* d) { return child<QCheckBox>(d, "check1026"); }
    static void click(QDialog* d, const char* name)
    {
        QTest::mouseClick(d->findChild<QWidget*>(QString::fromLatin1(name)), Qt::LeftButton);
    }

    // Opens the dialog from the start screen's settings button; `driver` acts in it.
    void openFromStartScreen(const harness::ModalScript::DialogDriver& driver)
    {
        CTVPB1100 screen;
        modals.expectDialog(QStringLiteral("CSettingDlg"), driver);
        QTest::mouseClick(screen.findChild<QWidget*>(QStringLiteral("button1010")), Qt::LeftButton);
        modals.verify();
        EXPECT_FALSE(screen.switchRequested()); // the start screen stays
    }

    harness::ModalScript modals;
};

} // namespace

TEST_F(SettingsTest, FreshDeviceShowsNoChoiceAVisibleEmptyListAndTheBoxOn)
{
    writeBook(kBook);
    openFromStartScreen([&](QDialog* d) {
        harness::saveShot(d, QStringLiteral("1100_settings"));
        EXPECT_EQ(d->windowTitle(), QStringLiteral("환경 설정"));
        EXPECT_EQ(child<QLabel>(d, "label1011")->text(), QStringLiteral("환경 설정"));
        EXPECT_TRUE(child<QLabel>(d, "label1023")->text().startsWith(QStringLiteral("1. 유,무선 모뎀을")));
        EXPECT_EQ(lan(d)->text(), QStringLiteral("LAN(Local Area Network)"));
        EXPECT_EQ(modem(d)->text(), QStringLiteral("Modem"));
        EXPECT_EQ(follow(d)->text(), QStringLiteral("업그레이드시에도 이 설정을 따름"));
        EXPECT_FALSE(lan(d)->isChecked());
        EXPECT_FALSE(modem(d)->isChecked());
        EXPECT_TRUE(list(d)->isVisible());
        EXPECT_EQ(list(d)->currentIndex(), -1);
        // Entries beginning with a backquote are not offered.
        EXPECT_EQ(list(d)->count(), 2);
        EXPECT_EQ(list(d)->findText(QStringLiteral("`숨은 항목")), -1);
        EXPECT_TRUE(follow(d)->isChecked());
        click(d, "button1015");
        return d->result();
    });
    // Cancel writes nothing.
    EXPECT_FALSE(number(QStringLiteral("Network_Connect_Option")).has_value());
    EXPECT_FALSE(text(QStringLiteral("Connect_Modem")).has_value());
    EXPECT_FALSE(number(QStringLiteral("Equal_VUP")).has_value());
}

TEST_F(SettingsTest, ModemChoiceWritesTheEntryAndTheUpdaterChoice)
{
    writeBook(kBook);
    openFromStartScreen([&](QDialog* d) {
        QTest::mouseClick(lan(d), Qt::LeftButton);
        EXPECT_FALSE(list(d)->isVisible()); // LAN hides the list
        QTest::mouseClick(modem(d), Qt::LeftButton);
        EXPECT_TRUE(list(d)->isVisible());
        list(d)->setCurrentIndex(list(d)->findText(QStringLiteral("LGT 모뎀")));
        follow(d)->setChecked(false);
        click(d, "button1014");
        return d->result();
    });
    EXPECT_EQ(number(QStringLiteral("Network_Connect_Option")), std::optional<quint32>(1));
    EXPECT_EQ(text(QStringLiteral("Connect_Modem")), std::optional<QString>(QStringLiteral("LGT 모뎀")));
    // Unchecked: the updater asks for its own connection next time.
    EXPECT_EQ(number(QStringLiteral("Equal_VUP")), std::optional<quint32>(0));

    // Opened again, the dialog shows what was stored.
    openFromStartScreen([&](QDialog* d) {
        EXPECT_TRUE(modem(d)->isChecked());
        EXPECT_EQ(list(d)->currentText(), QStringLiteral("LGT 모뎀"));
        EXPECT_FALSE(follow(d)->isChecked());
        click(d, "button1015");
        return d->result();
    });
}

TEST_F(SettingsTest, NoModemIsReportedAndLanWithAnEmptyListStoresZeroAndNoName)
{
    writeBook(QString()); // no phone-book entries at all
    modals.expectMessage(kNoModem, QStringLiteral("무선모뎀설치 요망"), [](platform::ModalRequest& r) {
        EXPECT_EQ(r.flags & 0xF0, unsigned(platform::MB_ICONINFORMATION));
        return int(platform::IDOK);
    });
    openFromStartScreen([&](QDialog* d) {
        EXPECT_TRUE(d->isVisible()); // the dialog stays open after the message
        EXPECT_EQ(list(d)->count(), 0);
        QTest::mouseClick(lan(d), Qt::LeftButton);
        click(d, "button1014");
        return d->result();
    });
    EXPECT_EQ(number(QStringLiteral("Network_Connect_Option")), std::optional<quint32>(0));
    EXPECT_EQ(text(QStringLiteral("Connect_Modem")), std::optional<QString>(QString()));
    EXPECT_EQ(number(QStringLiteral("Equal_VUP")), std::optional<quint32>(1));
}

TEST_F(SettingsTest, AStoredEntryMissingFromThePhoneBookLeavesNoSelection)
{
    writeBook(kBook);
    setNumber(QStringLiteral("Network_Connect_Option"), 1);
    setText(QStringLiteral("Connect_Modem"), QStringLiteral("지워진 모뎀"));
    openFromStartScreen([&](QDialog* d) {
        EXPECT_TRUE(modem(d)->isChecked());
        EXPECT_EQ(list(d)->currentIndex(), -1);
        click(d, "button1014");
        return d->result();
    });
    // OK with nothing selected stores an empty modem name.
    EXPECT_EQ(text(QStringLiteral("Connect_Modem")), std::optional<QString>(QString()));
}

TEST_F(SettingsTest, NeitherChoiceIsStoredAsNotSet)
{
    writeBook(kBook);
    openFromStartScreen([&](QDialog* d) {
        click(d, "button1014");
        return d->result();
    });
    EXPECT_EQ(number(QStringLiteral("Network_Connect_Option")), std::optional<quint32>(0xFFFFFFFFu));
    // Every reader treats it as not set: the login does nothing.
    CTVPB1100 screen;
    EXPECT_FALSE(screen.ConnectNetwork());
}
