#pragma once
// One value of a request query string ("key=value" pairs joined by "&").
//
// Queries carry their values as typed, so a free-text value holding "&" would
// end its pair early and let the rest read as a key of its own on the wire
// ("Sender=A&TranMny=9" typed as a sender name). Every request builder passes
// each value through QueryValue before appending it after its key:
//
//     "%"  becomes "%25"   (first, so an encoded value decodes back unchanged)
//     "&"  becomes "%26"
//
// Nothing else changes: digits, dates, amounts, account numbers, Korean text,
// blanks, "=", "+" and ";" stay exactly as they are, so every ordinary value is
// the same text it always was. bankd decodes "%26" and "%25" inside values after
// splitting the query at "&" and "=".
#include <QString>
#include "HttpVelcorExport.h"

HTTPVELCOR_EXPORT QString QueryValue(const QString& value);
