#include "SecurityValue.h"

#include "Accounts.h"
#include "Customers.h"
#include "SecretGuard.h"
#include "ResultCodes.h"
#include "TransferCodes.h"
#include "Sqlite.h"
#include "velcor/Signature.h"

namespace bankd {

namespace {

bool cardValueRight(Db& db, const Customer& c, const SecurityInput& in)
{
    const std::string& n = in.cell;
    int cell = (n.size() >= 1 && n.size() <= 2 && accounts::digitsOnly(n) == n) ? std::stoi(n) : 0;
    return customers::checkSecurityCell(db, c.id, cell, in.value);
}

bool signatureRight(Db& db, const Customer& c, const SecurityInput& in, Clock::time_point now, std::int64_t maxAge)
{
    if (in.signedMsg.empty() || in.signedMsg.size() > 512)
        return false;
    using namespace std::chrono;
    const std::int64_t nowSec = duration_cast<seconds>(now.time_since_epoch()).count();
    bool good = false;
    for (const CertificateRecord& cert : customers::certificates(db, c.id)) {
        auto check = velcor::verifySignature(cert.publicKey, "1", in.signedMsg, in.sessionKey, nowSec, maxAge);
        if (check.ok && check.certId == cert.subject) {
            good = true;
            break;
        }
    }
    if (!good)
        return false;
    // A signature authorises one execution only.
    auto used = db.prepare(
        "INSERT INTO used_signatures (signed_text, used_at) VALUES (?1, ?2) ON CONFLICT (signed_text) DO NOTHING");
    used.bind(1, in.signedMsg).bind(2, bankTimestamp(now));
    used.run();
    return db.changes() == 1;
}

} // namespace

SecurityResult checkSecurityValue(Db& db, const Customer& c, const SecurityInput& in, Clock::time_point now,
                                  std::int64_t signatureMaxAge)
{
    if (in.way != c.securityWay)
        return SecurityResult::OtherMeans;
    const bool card = c.securityWay == "S";
    const guard::Checked checked = guard::attempt(db, Secret::SecurityValue, c.userId, bankTimestamp(now), [&](Db&) {
        return card ? cardValueRight(db, c, in) : signatureRight(db, c, in, now, signatureMaxAge);
    });
    if (checked.verdict == guard::Verdict::Right)
        return SecurityResult::Ok;
    if (checked.verdict == guard::Verdict::Locked)
        return SecurityResult::Locked;
    return card ? SecurityResult::WrongCard : SecurityResult::WrongSignature;
}

std::pair<const char*, const char*> moneyRefusalOf(SecurityResult r)
{
    switch (r) {
    case SecurityResult::Ok:
        break;
    case SecurityResult::OtherMeans:
        return {result::kTrfSecurityWay, result::kTrfSecurityWayText};
    case SecurityResult::WrongCard:
        return {result::kTrfCard, result::kTrfCardText};
    case SecurityResult::WrongSignature:
        return {result::kTrfSignature, result::kTrfSignatureText};
    case SecurityResult::Locked:
        return {result::kSecurityLocked, result::kSecurityLockedText};
    }
    return {nullptr, nullptr};
}

} // namespace bankd
