#pragma once
// The server's own secret, kept in a file of its own beside the database
// (DIR/secrets.key, mode 0600), never in the database: a copy of the database
// alone neither verifies a guessed PIN offline nor reveals a security card.
// Two keys are derived from it: one for the keyed hashes of short secrets
// (account passwords, card PINs) and one that seals security card cells.
#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace bankd {

class SecretKeys {
public:
    using Key = std::array<unsigned char, 32>;

    // Reads the key file, creating it (0600) when it does not exist yet.
    // Throws std::runtime_error when it cannot be read or is damaged.
    static SecretKeys loadOrCreate(const std::string& path);
    // The key file that belongs to a database file: in the same folder.
    static std::string pathFor(const std::string& databasePath);

    const Key& hashKey() const { return hash_; }

    // Authenticated encryption under the seal key: "v1$<hex nonce and
    // ciphertext>". `place` names where the value belongs (for a card cell:
    // its customer and number), so a sealed value moved elsewhere does not open.
    std::string seal(std::string_view plain, std::string_view place) const;
    // The plain value; nullopt when it was not sealed with this key for this place.
    std::optional<std::string> open(std::string_view sealed, std::string_view place) const;
    static bool isSealed(std::string_view value);

private:
    Key hash_{};
    Key seal_{};
};

} // namespace bankd
