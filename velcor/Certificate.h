#pragma once
// The certificate store shared by the engine (signing) and bankd (issuing).
// Qt-free. One file per certificate, <certs folder>/<id>.cert, UTF-8 lines:
//
//   format=velcor-cert-1
//   id=<16 lower-case hex digits>
//   user_id=<user id>
//   user_name=<owner's name>
//   public_key=<standard base64 of the Ed25519 public key, 44 characters>
//   issued=<Unix seconds>
//   kdf=argon2id13
//   opslimit=<crypto_pwhash opslimit>
//   memlimit=<crypto_pwhash memlimit in bytes>
//   salt=<base64 of 16 bytes>
//   nonce=<base64 of 24 bytes>
//   sealed_key=<base64 of crypto_secretbox(Ed25519 secret key, 64 bytes)>
//
// The secretbox key is Argon2id(certificate password, salt, opslimit, memlimit).
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velcor {

struct CertificateInfo {
    std::string id;
    std::string userId;
    std::string userName;
    std::string publicKeyBase64;
    std::int64_t issued = 0;
    std::string filePath;
};

// Strength of the password hash of a new certificate. Interactive is the product
// setting; Minimum exists for tests and demos that issue many certificates.
enum class KdfStrength { Interactive, Minimum };

struct IssuedCertificate {
    bool ok = false;
    std::string reason;          // Korean, when !ok
    CertificateInfo info;        // when ok
};

// Makes an Ed25519 key pair for the user, seals the secret key with the
// password and writes <certDir>/<id>.cert (creating certDir). The caller
// registers info.publicKeyBase64 for the user. userId and userName must not
// be empty nor hold line breaks; the password must not be empty.
IssuedCertificate issueCertificate(const std::string& certDir, const std::string& userId,
                                   const std::string& userName, const std::string& password,
                                   KdfStrength strength = KdfStrength::Interactive);

// Every readable certificate of certDir, sorted by user id then issue time.
std::vector<CertificateInfo> listCertificates(const std::string& certDir);

// Opens the sealed secret key of a certificate file with the password.
// Empty and a Korean reason when the file is unreadable or the password wrong.
struct UnlockedKey {
    std::array<unsigned char, 64> secretKey{};
    CertificateInfo info;
    ~UnlockedKey();
};
std::optional<UnlockedKey> unlockCertificate(const std::string& filePath, const std::string& password,
                                             std::string* reason = nullptr);

} // namespace velcor
