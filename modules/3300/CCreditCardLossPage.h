#pragma once
#include "CCardLossPage.h"

// Page 173 "신용카드": the user's credit cards (PDA_R005 with CARDCMP "1") and
// their loss report (PDA_R006).
class CCreditCardLossPage : public CCardLossPage {
    Q_OBJECT
public:
    enum { IDD = 173 };
    explicit CCreditCardLossPage(CTVPB3300* screen);
};
