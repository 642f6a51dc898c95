#pragma once
// One request through the encrypted servlet, written once for every caller
// (CQVParser, the service kit's request cycle, screens that send by hand).
//
// The gateway refuses some requests before the bank sees them, for reasons the
// client can mend by itself: the session is over (the bank restarted, or the
// session's key was ended) or the request's time is off the gateway's clock.
// Such a request did nothing, so it is mended once and a freshly sealed request
// goes out: a session that is over is dropped at the engine (the next request
// opens a new one; a transaction that needs a login then gets the bank's usual
// answer and the screen asks to log in again), and a clock notice sets the
// engine's time to the gateway's.
#include <QString>

#include "HttpVelcorExport.h"

class CQD;
class CQV;

namespace transport {

struct EncryptedAnswer {
    bool sealed = false; // false: nothing was sent (the engine's reason: session.GetLastErrorMsg())
    QString raw;         // the answer as received ("Error:" + reason for a refusal, its clock line removed)
};

// post: a form POST to the session's server URL (the signed path); else a GET.
HTTPVELCOR_EXPORT EncryptedAnswer sendEncrypted(CQV& session, CQD& download, const QString& request, int pathFlag,
                                                bool post);

} // namespace transport
