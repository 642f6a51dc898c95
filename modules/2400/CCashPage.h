#pragma once
#include <QString>

#include "CCardEntryPage.h"

// Cash service page (149, tab "현금서비스"): a cash advance from a credit card to
// the card's settlement account. The confirmation dialog checks it (PDA_C007)
// and executes it after the security step (PDA_C008).
class CCashPage : public CCardEntryPage {
    Q_OBJECT
public:
    enum { IDD = 149 };
    explicit CCashPage(CTVPB2400* screen);
    ~CCashPage() override;

    // Refills the card list from the held-card grid; with `withDeposit` the
    // selected card's settlement account goes into the deposit account list.
    void FillCards(bool withDeposit = true);
    // Selects card `index` of the held-card grid (-1: none) and its account.
    void SelectCard(int index);

    QComboBox* DepositList() const { return deposit_; }
    QLineEdit* AmountEdit() const { return amount_; }

public slots:
    void OnCardChanged(int index);
    void On249001();  // transfer (1081)
    void On249002();  // reset (1082)

protected:
    BOOL OnInitDialog() override;

private:
    QComboBox* deposit_ = nullptr;
    QLineEdit* amount_ = nullptr;
};
