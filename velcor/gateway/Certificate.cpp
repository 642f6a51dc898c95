#include "../Certificate.h"

#include <sodium.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <map>

#include "../GatewayKeys.h"
#include "../GatewayProtocol.h"
#include "Codec.h"
#include "KeyValueFile.h"

namespace velcor {

namespace fs = std::filesystem;
using codec::Bytes;

namespace {
constexpr const char* kFormat = "velcor-cert-1";
constexpr const char* kKdf = "argon2id13";
constexpr const char* kBadInput = "인증서 사용자 정보가 올바르지 않습니다";
constexpr const char* kNoPassword = "인증서 비밀번호가 없습니다";
constexpr const char* kUnreadable = "인증서 파일을 읽을 수 없습니다";
constexpr const char* kDamaged = "인증서 파일이 손상되었습니다";
constexpr const char* kWrongPassword = "인증서 비밀번호가 올바르지 않습니다";
constexpr const char* kCrypto = "암호 모듈을 시작할 수 없습니다";
// Bounds on the hash cost a certificate file may ask for (a hostile file must
// not make the client hash for minutes or take gigabytes).
constexpr unsigned long long kMaxOps = 16;
constexpr std::size_t kMaxMem = 1024u * 1024u * 1024u;

bool oneLine(const std::string& s)
{
    return !s.empty() && s.find_first_of("\r\n") == std::string::npos;
}

bool isCertId(const std::string& s)
{
    return s.size() == protocol::kCertIdLength &&
           std::all_of(s.begin(), s.end(), [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

bool parseUnsigned(const std::string& s, unsigned long long& out)
{
    if (s.empty() || s.size() > 19 || !std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    out = std::stoull(s);
    return true;
}

bool deriveKey(const std::string& password, const Bytes& salt, unsigned long long ops, std::size_t mem,
               std::array<unsigned char, crypto_secretbox_KEYBYTES>& key)
{
    return crypto_pwhash(key.data(), key.size(), password.data(), password.size(), salt.data(), ops, mem,
                         crypto_pwhash_ALG_ARGON2ID13) == 0;
}

// The public part of a certificate file; false when it is not one of ours.
bool readInfo(const std::string& path, std::map<std::string, std::string>& v, CertificateInfo& info)
{
    if (!kv::read(path, v))
        return false;
    if (v["format"] != kFormat || !isCertId(v["id"]) || !oneLine(v["user_id"]) || !decodeKey32(v["public_key"]))
        return false;
    unsigned long long issued = 0;
    if (!parseUnsigned(v["issued"], issued))
        return false;
    info.id = v["id"];
    info.userId = v["user_id"];
    info.userName = v["user_name"];
    info.publicKeyBase64 = v["public_key"];
    info.issued = static_cast<std::int64_t>(issued);
    info.filePath = path;
    return true;
}
} // namespace

UnlockedKey::~UnlockedKey()
{
    sodium_memzero(secretKey.data(), secretKey.size());
}

IssuedCertificate issueCertificate(const std::string& certDir, const std::string& userId, const std::string& userName,
                                   const std::string& password, KdfStrength strength)
{
    IssuedCertificate r;
    try {
        if (!codec::ensureSodium()) {
            r.reason = kCrypto;
            return r;
        }
        if (!oneLine(userId) || !oneLine(userName)) {
            r.reason = kBadInput;
            return r;
        }
        if (password.empty()) {
            r.reason = kNoPassword;
            return r;
        }
        std::error_code ec;
        fs::create_directories(certDir, ec);

        std::array<unsigned char, 8> idBytes{};
        randombytes_buf(idBytes.data(), idBytes.size());
        char idHex[17];
        sodium_bin2hex(idHex, sizeof idHex, idBytes.data(), idBytes.size());

        std::array<unsigned char, crypto_sign_PUBLICKEYBYTES> pk{};
        std::array<unsigned char, crypto_sign_SECRETKEYBYTES> sk{};
        crypto_sign_keypair(pk.data(), sk.data());

        const bool strong = strength == KdfStrength::Interactive;
        const unsigned long long ops = strong ? crypto_pwhash_OPSLIMIT_INTERACTIVE : crypto_pwhash_OPSLIMIT_MIN;
        const std::size_t mem = strong ? crypto_pwhash_MEMLIMIT_INTERACTIVE : crypto_pwhash_MEMLIMIT_MIN;
        Bytes salt(crypto_pwhash_SALTBYTES);
        randombytes_buf(salt.data(), salt.size());
        std::array<unsigned char, crypto_secretbox_KEYBYTES> key{};
        if (!deriveKey(password, salt, ops, mem, key)) {
            sodium_memzero(sk.data(), sk.size());
            r.reason = kCrypto;
            return r;
        }
        Bytes nonce(crypto_secretbox_NONCEBYTES);
        randombytes_buf(nonce.data(), nonce.size());
        Bytes sealed(sk.size() + crypto_secretbox_MACBYTES);
        crypto_secretbox_easy(sealed.data(), sk.data(), sk.size(), nonce.data(), key.data());
        sodium_memzero(sk.data(), sk.size());
        sodium_memzero(key.data(), key.size());

        CertificateInfo& info = r.info;
        info.id = idHex;
        info.userId = userId;
        info.userName = userName;
        info.publicKeyBase64 = codec::toBase64(pk.data(), pk.size());
        info.issued = static_cast<std::int64_t>(std::time(nullptr));
        info.filePath = (fs::path(certDir) / (info.id + ".cert")).string();

        std::string text;
        text += "format=" + std::string(kFormat) + "\n";
        text += "id=" + info.id + "\n";
        text += "user_id=" + userId + "\n";
        text += "user_name=" + userName + "\n";
        text += "public_key=" + info.publicKeyBase64 + "\n";
        text += "issued=" + std::to_string(info.issued) + "\n";
        text += "kdf=" + std::string(kKdf) + "\n";
        text += "opslimit=" + std::to_string(ops) + "\n";
        text += "memlimit=" + std::to_string(mem) + "\n";
        text += "salt=" + codec::toBase64(salt) + "\n";
        text += "nonce=" + codec::toBase64(nonce) + "\n";
        text += "sealed_key=" + codec::toBase64(sealed) + "\n";
        if (!kv::writePrivate(info.filePath, text, &r.reason)) {
            r.info = CertificateInfo{};
            return r;
        }
        r.ok = true;
    } catch (...) {
        r = IssuedCertificate{};
        r.reason = kUnreadable;
    }
    return r;
}

std::vector<CertificateInfo> listCertificates(const std::string& certDir)
{
    std::vector<CertificateInfo> out;
    try {
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(certDir, ec)) {
            if (!entry.is_regular_file(ec) || entry.path().extension() != ".cert")
                continue;
            std::map<std::string, std::string> v;
            CertificateInfo info;
            if (readInfo(entry.path().string(), v, info) && entry.path().stem().string() == info.id)
                out.push_back(std::move(info));
        }
    } catch (...) {
    }
    std::sort(out.begin(), out.end(), [](const CertificateInfo& a, const CertificateInfo& b) {
        return a.userId != b.userId ? a.userId < b.userId : a.issued < b.issued;
    });
    return out;
}

std::optional<UnlockedKey> unlockCertificate(const std::string& filePath, const std::string& password,
                                             std::string* reason)
{
    auto fail = [&](const char* why) -> std::optional<UnlockedKey> {
        if (reason)
            *reason = why;
        return std::nullopt;
    };
    try {
        if (!codec::ensureSodium())
            return fail(kCrypto);
        std::map<std::string, std::string> v;
        CertificateInfo info;
        if (!readInfo(filePath, v, info))
            return fail(kUnreadable);
        unsigned long long ops = 0, mem = 0;
        Bytes salt, nonce, sealed;
        if (v["kdf"] != kKdf || !parseUnsigned(v["opslimit"], ops) || !parseUnsigned(v["memlimit"], mem) ||
            ops < crypto_pwhash_OPSLIMIT_MIN || ops > kMaxOps || mem < crypto_pwhash_MEMLIMIT_MIN || mem > kMaxMem ||
            !codec::fromBase64(v["salt"], salt) || salt.size() != crypto_pwhash_SALTBYTES ||
            !codec::fromBase64(v["nonce"], nonce) || nonce.size() != crypto_secretbox_NONCEBYTES ||
            !codec::fromBase64(v["sealed_key"], sealed) ||
            sealed.size() != crypto_sign_SECRETKEYBYTES + crypto_secretbox_MACBYTES)
            return fail(kDamaged);
        std::array<unsigned char, crypto_secretbox_KEYBYTES> key{};
        if (!deriveKey(password, salt, ops, static_cast<std::size_t>(mem), key))
            return fail(kCrypto);
        std::optional<UnlockedKey> out(std::in_place);
        const bool opened = crypto_secretbox_open_easy(out->secretKey.data(), sealed.data(), sealed.size(),
                                                       nonce.data(), key.data()) == 0;
        sodium_memzero(key.data(), key.size());
        if (!opened)
            return fail(kWrongPassword);
        // The key must belong to the public key the file shows (and bankd registered).
        std::array<unsigned char, crypto_sign_PUBLICKEYBYTES> pk{};
        std::array<unsigned char, crypto_sign_SECRETKEYBYTES> check{};
        crypto_sign_seed_keypair(pk.data(), check.data(), out->secretKey.data());
        const bool same = sodium_memcmp(check.data(), out->secretKey.data(), check.size()) == 0 &&
                          codec::toBase64(pk.data(), pk.size()) == info.publicKeyBase64;
        sodium_memzero(check.data(), check.size());
        if (!same)
            return fail(kDamaged);
        out->info = info;
        return out;
    } catch (...) {
        return fail(kUnreadable);
    }
}

} // namespace velcor
