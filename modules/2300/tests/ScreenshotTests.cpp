// Every screen and dialog of the loans with the demo bank, as PNG files in
// $TVPB_SHOTS (when set), checked for size, colours and the Korean texts.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QImage>
#include <QLineEdit>

#include "Admin.h"
#include "CBmpButton.h"
#include "CExTabCtrl.h"
#include "CGridCtrl.h"
#include "CInterestConfirmDlg.h"
#include "CInterestDlg.h"
#include "CLoanListPage.h"
#include "CTVPB2300.h"
#include "LoanScreenFixture.h"
#include "ModalScript.h"
#include "Screenshot.h"
#include "Services.h"

using harness::ModalScript;

namespace {

class DemoScreens : public t2300::LoanScreen {
protected:
    void SetUp() override { useDemoBank(); }
    QImage shot(QWidget* w, const QString& name)
    {
        harness::saveShot(w, name);
        QImage img = harness::shotImage(w);
        EXPECT_FALSE(img.isNull()) << name.toStdString();
        return img;
    }
    // The colour a grid cell is painted with, sampled near its top-left corner.
    static QColor cellColour(const QImage& img, QWidget* top, CGridCtrl* grid, int row, int col)
    {
        const QPoint at = grid->viewport()->mapTo(top, QPoint(0, 0));
        const QRect r = grid->cellRect(row, col).translated(at);
        return img.pixelColor(r.left() + 3, r.top() + 2);
    }
    static void press(QWidget* w, const char* name) { w->findChild<CBmpButton*>(QString::fromLatin1(name))->click(); }
};

} // namespace

TEST_F(DemoScreens, ListsDetailsAndTheInterestPaymentOfTheDemoCustomer)
{
    ModalScript modals;
    openScreen();
    CLoanListPage* general = screen->GeneralPage();
    ASSERT_EQ(general->LoanCount(), 3);
    QImage img = shot(screen.get(), QStringLiteral("2300_general"));
    EXPECT_EQ(img.size(), QSize(240, 294));
    EXPECT_EQ(cellColour(img, screen.get(), general->Grid(), 0, 0), QColor(181, 178, 181));
    EXPECT_EQ(cellColour(img, screen.get(), general->Grid(), 1, 0), QColor(224, 224, 224));
    EXPECT_EQ(cellColour(img, screen.get(), general->Grid(), 2, 0), QColor(255, 255, 255));
    // The total lies inside the page, below the list.
    const QRect total = general->TotalGrid()->geometry();
    EXPECT_EQ(total, QRect(0, 212, 231, 24));
    EXPECT_LE(general->mapTo(screen.get(), total.bottomLeft()).y(), 293);

    tapTab(screen->TabCtrl(), 1);
    CLoanListPage* credit = screen->CreditPage();
    ASSERT_EQ(credit->LoanCount(), 1);
    EXPECT_EQ(shot(screen.get(), QStringLiteral("2300_credit")).size(), QSize(240, 294));
    tapCell(credit->Grid(), 1, 1);
    modals.expectDialog(QStringLiteral("CCreditLoanDlg"), [&](QDialog* d) {
        QImage i = shot(d, QStringLiteral("2300_credit_detail"));
        EXPECT_EQ(i.size(), QSize(240, 294));
        CGridCtrl* g = d->findChild<CGridCtrl*>(QStringLiteral("detailGrid"));
        EXPECT_EQ(g->GetRowCount(), 10);
        EXPECT_LE(g->geometry().bottom(), 293);
        return QDialog::Accepted;
    });
    press(credit, "btnDetail");
    modals.verify();

    tapTab(screen->TabCtrl(), 0);
    tapCell(general->Grid(), 1, 1);
    const std::string card = bankd::admin::securityCard(*bank.store, "DEMOS")->at(2);
    platform::setRandomSource([](int, int) { return 3; });
    modals.expectDialog(QStringLiteral("CGeneralLoanDlg"), [&](QDialog* d) {
        QImage i = shot(d, QStringLiteral("2300_general_detail"));
        EXPECT_EQ(i.size(), QSize(240, 294));
        CGridCtrl* g = d->findChild<CGridCtrl*>(QStringLiteral("detailGrid"));
        EXPECT_EQ(g->GetRowCount(), 13);
        EXPECT_LE(g->geometry().bottom(), 293);
        EXPECT_FALSE(g->GetItemText(2, 1).isEmpty());
        ModalScript inner;
        inner.expectDialog(QStringLiteral("CInterestDlg"), [&](QDialog* idlg) {
            auto* interest = qobject_cast<CInterestDlg*>(idlg);
            EXPECT_TRUE(interest->PayButton()->isEnabled());
            EXPECT_EQ(shot(idlg, QStringLiteral("2300_interest")).size(), QSize(240, 294));
            EXPECT_LE(interest->Grid()->geometry().bottom(), 293);
            ModalScript flow;
            flow.expectDialog(QStringLiteral("CInterestConfirmDlg"), [&](QDialog* cd) {
                auto* c = qobject_cast<CInterestConfirmDlg*>(cd);
                EXPECT_TRUE(c->PayButton()->isEnabled());
                EXPECT_GE(c->SourceList()->count(), 1);
                c->SourceList()->setCurrentIndex(0);
                c->PasswordEdit()->setText(QStringLiteral("1234"));
                QImage ci = shot(cd, QStringLiteral("2300_confirm"));
                EXPECT_EQ(ci.size(), QSize(240, 294));
                const QWidget* label = cd->findChild<QWidget*>(QStringLiteral("sourceLabel"));
                EXPECT_EQ(ci.pixelColor(label->geometry().topLeft() + QPoint(2, 2)), QColor(192, 192, 192));
                ModalScript pay;
                pay.expectDialog(QStringLiteral("CNumberKbd"),
                                 [&](QDialog* k) { return typeOnKeypad(k, QString::fromStdString(card)); });
                pay.expectDialog(QStringLiteral("CInterestPayDlg"), [&](QDialog* p) {
                    EXPECT_EQ(shot(p, QStringLiteral("2300_receipt")).size(), QSize(240, 294));
                    CGridCtrl* r = p->findChild<CGridCtrl*>(QStringLiteral("receiptGrid"));
                    EXPECT_FALSE(r->GetItemText(6, 1).isEmpty());
                    return QDialog::Accepted;
                });
                press(c, "btnPay");
                pay.verify();
                return cd->result();
            });
            press(idlg, "btnPay");
            flow.verify();
            return QDialog::Accepted;
        });
        press(d, "btnInterest");
        inner.verify();
        return QDialog::Accepted;
    });
    press(general, "btnDetail");
    modals.verify();
    EXPECT_EQ(payments(), 1);
}
