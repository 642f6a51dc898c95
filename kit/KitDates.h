#pragma once
// Dates and paging keys as the requests carry them.
#include <QDate>
#include <QString>

class QDateEdit;
class QWidget;

namespace kit {

// The date picker of the service screens: "yyyy-MM-dd" with a calendar
// drop-down, in an 11-pixel font beside a narrow drop-down button, so that the
// whole date shows in a picker of 88 pixels (about a third of the screen).
QDateEdit* MakeDatePicker(QWidget* parent, const QString& objectName, const QDate& date);

// "YYYYMMDD" ("%.4d%.2d%.2d"); empty for an invalid date.
QString Ymd(const QDate& date);

// A list's continuation key: the first three characters of `text` when they are
// three digits, otherwise "000" (no further page).
QString ContinuationKey(const QString& text);
// Whether a further page follows the key: not for "000", nor after "999" (the
// key has three digits), nor for anything that is not a key.
bool HasNextPage(const QString& key);
// The key the next page is asked with ("%03d" of the key plus one), or "000"
// when no further page follows.
QString NextPageKey(const QString& key);

} // namespace kit
