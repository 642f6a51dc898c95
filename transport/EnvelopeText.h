#pragma once
// The envelope primitives behind CQV::XParse, CQV::XParsedItem and the
// CQVParser readers, on views so that walking a long list copies nothing but
// the values it returns.
#include <QString>
#include <QStringView>

namespace transport {

// Content between the first "<tag>" and the next "</tag>", trimmed; empty when
// either is missing.
QStringView parseElement(QStringView text, QStringView tag);

// The n-th item (from 1) of text, every item terminated by sep, trimmed; empty
// for n = 0, an empty sep, or an unterminated item. Past the last terminator
// the count wraps to the beginning of the text (for a one-character sep, item
// last + 2 is item 1 again).
QStringView parsedItem(QStringView text, unsigned n, QStringView sep);

// Trims blank, tab, CR, LF, vertical tab and form feed, and nothing else.
QStringView trimBlanks(QStringView text);

} // namespace transport
