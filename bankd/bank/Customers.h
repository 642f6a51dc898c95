#pragma once
// Customer records: login password, security means, the 35-cell security
// card and registered certificates. Failure counts and locks of their
// secrets are the SecretGuard's.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace bankd {

class Db;

struct Customer {
    std::int64_t id = 0;
    std::string userId;
    std::string name;
    std::string juminNo;      // 13 digits
    std::string pwdHash;
    std::string securityWay;  // "S" security card, "K" certificate
    std::string useHidden;    // "Y" / "N"
};

struct NewCustomer {
    std::string userId;
    std::string name;
    std::string juminNo;
    std::string securityWay = "S";
    std::string useHidden = "N";
};

using SecurityCard = std::array<std::string, 35>;  // cell 1 is [0]

struct CertificateRecord {
    std::int64_t id = 0;
    std::string subject;    // the certificate id of the client store
    std::string publicKey;  // standard base64 Ed25519 public key
    std::string issuedAt;
};

namespace customers {

// User IDs are kept in upper case, as the client sends them.
std::string normaliseUserId(const std::string& userId);
// True when the ID is 1-20 characters of A-Z and 0-9.
bool validUserId(const std::string& userId);

std::optional<Customer> find(Db& db, const std::string& userId);
std::int64_t add(Db& db, const NewCustomer& c, const std::string& pwdHash, const std::string& now);
bool setPassword(Db& db, const std::string& userId, const std::string& pwdHash);
bool setSecurityWay(Db& db, std::int64_t id, const std::string& way);

void setSecurityCard(Db& db, std::int64_t id, const SecurityCard& card);
std::optional<SecurityCard> securityCard(Db& db, std::int64_t id);
// True when the value matches the cell (1..35) of the customer's card.
bool checkSecurityCell(Db& db, std::int64_t id, int cell, const std::string& value);

void addCertificate(Db& db, std::int64_t id, const CertificateRecord& cert);
std::vector<CertificateRecord> certificates(Db& db, std::int64_t id);  // active ones, newest first

} // namespace customers
} // namespace bankd
