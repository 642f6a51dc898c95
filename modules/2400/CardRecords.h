#pragma once
// The card module's records and field rules: a held card as PDA_C001 lists it,
// and the cash-service amount as typed.
#include <QList>
#include <QString>

namespace cards {

// One card of the held-card list: [0] number, [1] kind, [2] validity,
// [3] branch, [4] accident record, [5] settlement account.
struct CardRecord {
    QString number;
    QString kind;
    QString validity;
    QString branch;
    QString accident;
    QString settlement;
};
QList<CardRecord> ParseCards(const QString& reply);

// The amount to send for a typed cash-service amount: its digits without
// leading zeros. Empty (refused) when the text holds anything but digits and
// ",", or its digits are empty or all zeros.
QString CashAmount(const QString& typed);

} // namespace cards
