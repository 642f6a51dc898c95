#pragma once
#include "CCardLossPage.h"

// Page 172 "현금카드": the user's cash cards (PDA_R003) and their loss report
// (PDA_R004).
class CCashCardLossPage : public CCardLossPage {
    Q_OBJECT
public:
    enum { IDD = 172 };
    explicit CCashCardLossPage(CTVPB3300* screen);
};
