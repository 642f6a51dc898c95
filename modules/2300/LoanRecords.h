#pragma once
// Reading the loan replies into what the loan screens show: the list total,
// the rows of the general loan detail (PDA_L002), of the credit-line detail
// (PDA_L006) and of the interest payment records (PDA_L007, PDA_L003,
// PDA_L004). Every reader tolerates short or missing blocks: what did not
// arrive shows empty.
#include <QList>
#include <QString>
#include <QStringList>

namespace loans {

struct DetailRow {
    QString label;
    QString value;
    bool rightAligned = false;
};

// The sum of the balances in 64 bits over their digits (separators allowed),
// as a plain integer without separators.
QString LoanTotal(const QStringList& balances);

// The general loan detail's thirteen rows; the values stay empty unless the
// reply holds both the free0 and free1 blocks. Amounts carry separators.
QList<DetailRow> GeneralDetailRows(const QString& reply);
QStringList GeneralDetailLabels();

// The credit-line detail: the label/value entries of the free1/free0 blocks
// without entries 9 and 11 (N - 2 rows for N >= 12 entries, otherwise the
// entries that arrived); entries 3 and 4 are amounts, entry 10 reads "정상"
// when its value begins with "N", "연체" for any other value, empty when none.
QList<DetailRow> CreditDetailRows(const QString& reply);

// The label/value rows of one free0 record: labels[i] beside field i
// (`valueOffset` shifts the fields, for rows that come from elsewhere); the
// rows in `right` are right-aligned. Values as received, empty when missing.
QList<DetailRow> RecordRows(const QString& reply, const QStringList& labels, const QList<int>& right,
                            int valueOffset = 0);

QStringList InterestPositionLabels();  // PDA_L007, ten rows
QStringList InterestDueLabels();       // PDA_L003, nine rows
QStringList ReceiptLabels();           // PDA_L004, ten rows (row 0: the depositor name)

} // namespace loans
