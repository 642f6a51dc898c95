#pragma once
// The account inquiry's cheque inquiry: the page's values checked in order,
// "PDA_S003" on the encrypted route, the answer in a message box.
class CChequePage;
class CTVPB2100;

void InquireCheque(CTVPB2100* screen, CChequePage* page);
