// The three pages, the five inquiry dialogs and the three states of the cash
// confirmation with the demo bank, as PNG files in $TVPB_SHOTS (when set).
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QImage>
#include <QLineEdit>

#include "CBmpButton.h"
#include "CCardInquiryPage.h"
#include "CCardPage.h"
#include "CCashConfirmDlg.h"
#include "CCashPage.h"
#include "CGridCtrl.h"
#include "CTVPB2400.h"
#include "CardScreenFixture.h"
#include "Customers.h"
#include "Sqlite.h"
#include "ModalScript.h"
#include "Screenshot.h"
#include "Services.h"

using harness::ModalScript;

namespace {

class DemoScreens : public t2400::CardScreen {
protected:
    void SetUp() override { useDemoBank(); }
    void shot(QWidget* w, const QString& name)
    {
        QApplication::processEvents();
        QImage img = harness::shotImage(w);
        EXPECT_EQ(img.isNull(), false) << name.toStdString();
        harness::saveShot(w, name);
    }
    void keypad(ModalScript& modals, QWidget* page, QLineEdit* edit, const QString& digits)
    {
        modals.expectDialog(QStringLiteral("CNumberKbd"), [digits](QDialog* d) { return typeOnKeypad(d, digits); });
        QApplication::setActiveWindow(screen.get());
        edit->setFocus(Qt::MouseFocusReason);
        QApplication::processEvents();
        page->setFocus(Qt::OtherFocusReason);
        QApplication::processEvents();
        modals.verify();
    }
    // Opens the inquiry of `kind` for the first card and shots its dialog.
    void inquiry(ModalScript& modals, int kind, const QString& dialog, const QString& name, int card = 0)
    {
        CCardInquiryPage* p = screen->InquiryPage();
        p->KindList()->setCurrentIndex(kind);
        p->CardList()->setCurrentIndex(card);
        if (kind == CCardInquiryPage::Bill || kind == CCardInquiryPage::BillDetails) {
            // The latest day 27 on or before today.
            QDate d = platform::now().date();
            if (d.day() < 27)
                d = d.addMonths(-1);
            p->YearList()->setCurrentIndex(p->YearList()->findText(QString::number(d.year())));
            p->MonthList()->setCurrentIndex(d.month() - 1);
            p->DayList()->setCurrentIndex(5);
        }
        keypad(modals, p, p->PasswordEdit(), QStringLiteral("1234"));
        modals.expectDialog(dialog, [&](QDialog* d) {
            QApplication::processEvents();
            shot(d, name);
            // The card list shows the whole card number beside its drop-down button.
            auto* list = d->findChild<QComboBox*>(QStringLiteral("cardList"));
            EXPECT_NE(list, nullptr) << name.toStdString();
            if (list) {
                QStyleOptionComboBox opt;
                opt.initFrom(list);
                const QRect field =
                    list->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, list);
                EXPECT_EQ(list->currentText().size(), 19) << name.toStdString();
                EXPECT_LE(QFontMetricsF(list->font()).horizontalAdvance(list->currentText()), field.width() - 2)
                    << name.toStdString();
            }
            return QDialog::Rejected;
        });
        button(p, "btnInquire")->click();
        modals.verify();
    }
};

} // namespace

TEST_F(DemoScreens, PagesDialogsAndTheThreeConfirmationStates)
{
    ModalScript modals;
    openScreen();
    QApplication::processEvents();
    CCardPage* cards = screen->CardPage();
    EXPECT_EQ(cards->Cards().size(), 3);
    EXPECT_TRUE(cards->NextButton()->isEnabled());
    shot(screen.get(), QStringLiteral("2400_held_cards"));
    // Every text of the held-card grid shows whole: numbers, branches, accident records.
    auto everyTextWhole = [](CGridCtrl* g, const char* page) {
        const QFontMetrics fm(g->font());
        int filled = 0;
        for (int r = 0; r < g->GetRowCount(); ++r)
            for (int c = 0; c < g->GetColumnCount(); ++c) {
                const QString text = g->GetItemText(r, c);
                if (text.isEmpty())
                    continue;
                ++filled;
                EXPECT_LE(fm.horizontalAdvance(text), g->GetColumnWidth(c) - 5) << page << " " << text.toStdString();
            }
        EXPECT_GT(filled, 6) << page;
        EXPECT_LE(g->GetVirtualWidth(), g->viewport()->width()) << page;
    };
    everyTextWhole(cards->findChild<CGridCtrl*>(QStringLiteral("cardGrid")), "first page");
    cards->NextButton()->click();
    shot(screen.get(), QStringLiteral("2400_held_cards_page2"));
    everyTextWhole(cards->findChild<CGridCtrl*>(QStringLiteral("cardGrid")), "second page");
    button(cards, "btnReload")->click();

    tapTab(1);
    screen->InquiryPage()->KindList()->setCurrentIndex(CCardInquiryPage::Approvals);
    screen->InquiryPage()->CardList()->setCurrentIndex(0);
    shot(screen.get(), QStringLiteral("2400_inquiry_page"));
    inquiry(modals, CCardInquiryPage::Approvals, QStringLiteral("CApprovalDlg"), QStringLiteral("2400_approvals"));
    inquiry(modals, CCardInquiryPage::Bill, QStringLiteral("CBillDlg"), QStringLiteral("2400_bill"));
    inquiry(modals, CCardInquiryPage::BillDetails, QStringLiteral("CBillDetailDlg"),
            QStringLiteral("2400_bill_details"));
    inquiry(modals, CCardInquiryPage::Available, QStringLiteral("CAvailableDlg"), QStringLiteral("2400_available"));
    // The family card (third) is the one in arrears.
    inquiry(modals, CCardInquiryPage::Arrears, QStringLiteral("CArrearsDlg"), QStringLiteral("2400_arrears"), 2);

    tapTab(2);
    CCashPage* cash = screen->CashPage();
    cash->CardList()->setCurrentIndex(0);
    keypad(modals, cash, cash->PasswordEdit(), QStringLiteral("1234"));
    cash->AmountEdit()->setText(QStringLiteral("100,000"));
    shot(screen.get(), QStringLiteral("2400_cash_page"));
    platform::setRandomSource([](int, int) { return 5; });
    modals.expectDialog(QStringLiteral("CCashConfirmDlg"), [&](QDialog* d) {
        auto* c = qobject_cast<CCashConfirmDlg*>(d);
        shot(d, QStringLiteral("2400_cash_confirm_1_entered"));
        c->ActionButton()->click();
        EXPECT_EQ(c->CurrentState(), CCashConfirmDlg::Checked);
        shot(d, QStringLiteral("2400_cash_confirm_2_checked"));
        ModalScript inner;
        const QString cell = QString::fromStdString(
            bank.store->read([](bankd::Db& db) {
                auto card = bankd::customers::securityCard(db, bankd::customers::find(db, "DEMOS")->id);
                return (*card)[4];
            }));
        inner.expectDialog(QStringLiteral("CNumberKbd"), [cell](QDialog* k) { return typeOnKeypad(k, cell); });
        inner.expectMessageContaining(QStringLiteral("정상처리"), QStringLiteral("확인"));
        c->ActionButton()->click();
        inner.verify();
        EXPECT_EQ(c->CurrentState(), CCashConfirmDlg::Done);
        shot(d, QStringLiteral("2400_cash_confirm_3_result"));
        c->CancelButton()->click();
        return d->result();
    });
    button(cash, "btnTransfer")->click();
    modals.verify();
}
