#pragma once
// Administration of a data folder: what `bankd init` and the administration
// commands do, callable from tests.
#include <optional>
#include <string>
#include <vector>

#include "Customers.h"
#include "PasswordHash.h"
#include "SecretGuard.h"
#include "velcor/ReleaseSignature.h"

namespace bankd {

class Store;

struct IssuedCert {
    std::string certId;
    std::string filePath;
};

struct DemoUser {
    std::string userId;
    std::string password;
    std::string name;
    std::string securityWay;
    std::string certPassword;  // certificate users
    std::string certFile;      // certificate users
    SecurityCard card;
    std::vector<std::string> accounts;  // "display number (kind) password"
};

struct InitOptions {
    std::string dataDir;
    bool demo = false;
    std::string serverHost = "127.0.0.1:8080";
    std::string downloadHost;  // empty: the server host
    std::string deployPath;    // empty: no deploy.ini written
    std::string home;          // client's TVPB_HOME for the demo certificate
    HashCost cost = HashCost::standard();
    bool fastCertificates = false;  // minimum certificate KDF (tests)
    std::string postgres;           // the database in PostgreSQL (a libpq connection string)
};

struct InitReport {
    std::string gatewayPublicKey;
    std::string updatePublicKey;
    std::string deployPath;
    std::vector<DemoUser> demoUsers;
};

// Creates the data folder, database, gateway key pair and download folder;
// with demo, fills the demo bank. Throws DataFolderError and friends.
InitReport initBank(const InitOptions& options);

namespace admin {

// Adds a customer with a fresh security card; returns the card.
SecurityCard addCustomer(Store& store, const NewCustomer& customer, const std::string& password);
bool setPassword(Store& store, const std::string& userId, const std::string& password);
// Clears the login password's failure count and lock; false for no such user.
bool unlock(Store& store, const std::string& userId);
enum class Unlocked { Yes, WasNotLocked, NoSuchSubject };
// Clears one secret's failure count and lock: a user's login password or
// security means (subject: user ID), an account's password (account number),
// a card's PIN (card number).
Unlocked unlock(Store& store, Secret kind, const std::string& subject);
// The subject as the guard keys it: upper-case user ID, digits of a number.
std::string guardSubject(Secret kind, const std::string& subject);
std::optional<SecurityCard> securityCard(Store& store, const std::string& userId);
// Issues a certificate into the client's store (home/certs) and registers its
// public key for the user. Throws std::runtime_error with the reason.
IssuedCert issueCertificate(Store& store, const std::string& userId, const std::string& home,
                            const std::string& certPassword, bool fast = false);
// Puts a program file on the download host: its name must be a plain file
// name, and a non-empty version must be the one embedded in the file (an empty
// version lists the file to be fetched always, checked by its hash alone). The
// file and the signed list are each replaced atomically. Throws
// std::invalid_argument (refused) or std::runtime_error / DataFolderError.
void publish(const std::string& dataDir, const std::string& file, const std::string& version);
// The update key of a data folder (made by init); throws DataFolderError.
velcor::UpdateKeyPair updateKey(const std::string& dataDir);

// The client's TVPB_HOME: $TVPB_HOME, else ~/.local/share/tavrin-pda.
std::string defaultClientHome();

} // namespace admin
} // namespace bankd
