#pragma once
// The bank's signed release list (the updater's TVPB_Version.info), Qt-free:
//   ;signature ed25519 <base64 of the signature of every byte after this line>
//   ;sha256 <64 hex digits> <file name>      one per listed file
//   <file name>/<version>                     the entries
// Both kinds of header line are ";" comments to the list's plain reader.
#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace velcor {

inline constexpr std::string_view kReleaseSignaturePrefix = ";signature ed25519 ";
inline constexpr std::string_view kReleaseHashPrefix = ";sha256 ";

// The bank's update key (Ed25519); the public half is pinned in deploy.ini.
struct UpdateKeyPair {
    std::array<unsigned char, 32> publicKey{};
    std::array<unsigned char, 64> secretKey{};
    std::string publicKeyBase64() const;
};

UpdateKeyPair generateUpdateKeyPair();
// "public_key=<b64>\nsecret_key=<b64>\n", mode 0600, replaced atomically.
bool saveUpdateKeyPair(const std::string& path, const UpdateKeyPair& keys, std::string* reason = nullptr);
std::optional<UpdateKeyPair> loadUpdateKeyPair(const std::string& path, std::string* reason = nullptr);

// The hash line of one file: ";sha256 <hex> <name>".
std::string releaseHashLine(std::string_view fileBytes, std::string_view name);
// The signature line followed by the body.
std::string signReleaseList(std::string_view body, const UpdateKeyPair& keys);
// The body of a signed list when its signature by publicKey holds.
std::optional<std::string> openReleaseList(std::string_view signedList, const std::array<unsigned char, 32>& publicKey);

} // namespace velcor
