#pragma once
// The server-time heading of the service screens: "MM/DD HH:MM" from the
// "PDA_T003" reply, whose "<free0>" holds the date (YYYYMMDD) and the time
// (HHMMSS) as two ";"-ended fields.
#include <QString>

class KitRequest;
class CQV;

namespace kit {

// The heading of a "PDA_T003" reply; empty when the date or the time is short
// or missing.
QString ServerTimeHeading(const QString& reply);

// Asks the server for its time on the open path (no busy test: screens ask while
// they open) and returns the heading; empty when the request failed (the user
// has been told) or the reply is short.
QString RequestServerTimeHeading(KitRequest& request, const CQV* session);

} // namespace kit
