#pragma once
// The records of the loss report lists and the card data of a report.
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace loss {

// PDA_R005: card number, account number, loss details.
// PDA_R003: card number, account number, loss details, card type.
struct CardRecord {
    QString cardNo;
    QString accountNo;
    QString loss;
    QString type;
};
// PDA_R001: account type, account number, balance.
struct PassbookRecord {
    QString type;
    QString accountNo;
    QString balance;
};

// The records of a list reply, fields whole (the grid cells hold any length;
// nothing the bank sent is cut or dropped).
QList<CardRecord> ParseCards(const QString& reply, bool withType);
QList<PassbookRecord> ParsePassbooks(const QString& reply);

// Every report query ends at 1023 characters; a card contributes at most 49 digits.
inline constexpr int kQueryLimit = 1023;
inline constexpr int kCardDigitsLimit = 49;

// CARDDATA of the marked cards: each number's digits followed by ";". Empty
// when a number has no digit or more than 49, or when the query that carries
// the data would pass 1023 characters (`query` builds it from the data).
QString CardData(const QStringList& cardNumbers, const std::function<QString(const QString&)>& query);

} // namespace loss
