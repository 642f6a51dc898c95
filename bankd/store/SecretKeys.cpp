#include "SecretKeys.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sodium.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace bankd {

namespace {
constexpr const char* kContext = "bankdkey";  // eight characters
constexpr const char* kHeader = "bankd-secrets-1\n";

[[noreturn]] void fail(const std::string& what)
{
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

bool readAll(int fd, unsigned char* p, size_t n)
{
    while (n > 0) {
        ssize_t r = ::read(fd, p, n);
        if (r <= 0) {
            if (r < 0 && errno == EINTR)
                continue;
            return false;
        }
        p += r;
        n -= static_cast<size_t>(r);
    }
    return true;
}

bool writeAll(int fd, const unsigned char* p, size_t n)
{
    while (n > 0) {
        ssize_t w = ::write(fd, p, n);
        if (w <= 0) {
            if (w < 0 && errno == EINTR)
                continue;
            return false;
        }
        p += w;
        n -= static_cast<size_t>(w);
    }
    return true;
}
} // namespace

namespace {
constexpr std::string_view kSealPrefix = "v1$";
}

bool SecretKeys::isSealed(std::string_view value)
{
    return value.substr(0, kSealPrefix.size()) == kSealPrefix;
}

std::string SecretKeys::seal(std::string_view plain, std::string_view place) const
{
    constexpr size_t nb = crypto_aead_xchacha20poly1305_ietf_NPUBBYTES;
    std::string raw(nb + plain.size() + crypto_aead_xchacha20poly1305_ietf_ABYTES, '\0');
    auto* out = reinterpret_cast<unsigned char*>(raw.data());
    randombytes_buf(out, nb);
    unsigned long long len = 0;
    crypto_aead_xchacha20poly1305_ietf_encrypt(out + nb, &len, reinterpret_cast<const unsigned char*>(plain.data()),
                                               plain.size(), reinterpret_cast<const unsigned char*>(place.data()),
                                               place.size(), nullptr, out, seal_.data());
    std::string hex(raw.size() * 2 + 1, '\0');
    sodium_bin2hex(hex.data(), hex.size(), out, raw.size());
    hex.pop_back();
    return std::string(kSealPrefix) + hex;
}

std::optional<std::string> SecretKeys::open(std::string_view sealed, std::string_view place) const
{
    constexpr size_t nb = crypto_aead_xchacha20poly1305_ietf_NPUBBYTES;
    constexpr size_t ab = crypto_aead_xchacha20poly1305_ietf_ABYTES;
    if (!isSealed(sealed))
        return std::nullopt;
    std::string_view hex = sealed.substr(kSealPrefix.size());
    if (hex.size() % 2 || hex.size() / 2 < nb + ab || hex.size() > 4096)
        return std::nullopt;
    std::string raw(hex.size() / 2, '\0');
    size_t len = 0;
    if (sodium_hex2bin(reinterpret_cast<unsigned char*>(raw.data()), raw.size(), hex.data(), hex.size(), nullptr,
                       &len, nullptr) != 0 || len != raw.size())
        return std::nullopt;
    const auto* in = reinterpret_cast<const unsigned char*>(raw.data());
    std::string plain(raw.size() - nb - ab, '\0');
    unsigned long long plainLen = 0;
    if (crypto_aead_xchacha20poly1305_ietf_decrypt(reinterpret_cast<unsigned char*>(plain.data()), &plainLen, nullptr,
                                                   in + nb, raw.size() - nb,
                                                   reinterpret_cast<const unsigned char*>(place.data()), place.size(),
                                                   in, seal_.data()) != 0)
        return std::nullopt;
    plain.resize(plainLen);
    return plain;
}

std::string SecretKeys::pathFor(const std::string& databasePath)
{
    auto dir = std::filesystem::path(databasePath).parent_path();
    return (dir / "secrets.key").string();
}

SecretKeys SecretKeys::loadOrCreate(const std::string& path)
{
    if (sodium_init() < 0)
        throw std::runtime_error("libsodium cannot start");
    const size_t header = std::strlen(kHeader);
    unsigned char master[crypto_kdf_KEYBYTES];
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT) {
        // Written under a temporary name and renamed: a crash leaves either
        // no key file or a whole one, never a half-written key.
        crypto_kdf_keygen(master);
        const std::string tmp = path + ".new";
        int w = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (w < 0)
            fail("cannot create " + tmp);
        bool ok = writeAll(w, reinterpret_cast<const unsigned char*>(kHeader), header) &&
                  writeAll(w, master, sizeof master) && ::fsync(w) == 0;
        ::close(w);
        // link() refuses to replace a key another process made meanwhile.
        if (!ok || (::link(tmp.c_str(), path.c_str()) != 0 && errno != EEXIST)) {
            ::unlink(tmp.c_str());
            fail("cannot write " + path);
        }
        ::unlink(tmp.c_str());
        std::string dir = std::filesystem::path(path).parent_path().string();
        if (int d = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); d >= 0) {
            ::fsync(d);
            ::close(d);
        }
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    }
    if (fd < 0)
        fail("cannot read " + path);
    std::string head(header, '\0');
    unsigned char extra = 0;
    bool ok = readAll(fd, reinterpret_cast<unsigned char*>(head.data()), header) && head == kHeader &&
              readAll(fd, master, sizeof master) && ::read(fd, &extra, 1) == 0;
    ::close(fd);
    if (!ok)
        throw std::runtime_error(path + " is not a bankd key file");
    SecretKeys k;
    crypto_kdf_derive_from_key(k.hash_.data(), k.hash_.size(), 1, kContext, master);
    crypto_kdf_derive_from_key(k.seal_.data(), k.seal_.size(), 2, kContext, master);
    sodium_memzero(master, sizeof master);
    return k;
}

} // namespace bankd
