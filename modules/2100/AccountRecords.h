#pragma once
// The records of the account inquiry replies and the rules the pages apply to
// an account's kind code.
#include <QList>
#include <QString>
#include <QStringList>

namespace inquiry {

// One account of a "PDA_U002" list: eight fields.
struct AccountRecord {
    QString kindName;   // f0
    QString number;     // f1, as displayed (with "-")
    QString balance;    // f2
    QString kindCode;   // f5, "A01" ...
    QStringList fields; // all eight, in order
};

// One transaction of a "PDA_A009" list: six fields, f0 the date.
using TxRecord = QStringList;

// The records of a reply's list0 block (see kit::ListRecords).
QList<AccountRecord> ParseAccounts(const QString& reply);
QList<TxRecord> ParseTransactions(const QString& reply);

// Grid order: every account whose code is not "A07" in reply order, then
// every "A07" account.
QList<AccountRecord> GridOrder(const QList<AccountRecord>& accounts);

// The code with every "A" removed.
QString KindDigits(const QString& code);
// "00", "02" and "07" have no transaction history.
bool HasHistory(const QString& code);
// "04" and "05" use day periods, the others month periods.
bool UsesDays(const QString& code);

struct Period {
    QString caption; // "" for the free range
    int days;        // 0 for the free range
};
// The period list of a kind: the empty entry first.
QList<Period> PeriodsFor(bool days);

} // namespace inquiry
