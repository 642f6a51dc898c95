#pragma once
// Newest-first ordering of date-keyed lists.
#include <QList>
#include <QStringList>

// Sorts the strings in place into descending order, exchanging strings i < j
// whenever the one at i is not greater than the one at j (case-sensitive,
// character by character; equal strings are exchanged each time they meet).
// Returns, for each new position, the string's original position.
QList<int> SortDescending(QStringList& strings);

// Records (lists of fields) in the order SortDescending gives their field
// `dateField` (a record without it sorts as an empty date).
QList<QStringList> NewestFirst(const QList<QStringList>& records, int dateField = 0);
