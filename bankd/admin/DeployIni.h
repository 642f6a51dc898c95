#pragma once
// Writes the client's deployment file (deploy.ini): [bank] server_host and
// gateway_public_key, [download] host and
// update_public_key. Other sections and keys of an existing
// file are kept.
#include <map>
#include <string>

namespace bankd {

struct DeployValues {
    std::string serverHost;        // host[:port]
    std::string gatewayPublicKey;  // standard base64, 44 characters
    std::string downloadHost;      // host[:port]
    std::string updatePublicKey;   // standard base64 of the Ed25519 key that signs the download list
};

void writeDeployIni(const std::string& path, const DeployValues& values);

// section -> key -> value, for reading a file back (tests, tools).
std::map<std::string, std::map<std::string, std::string>> readIni(const std::string& path);

} // namespace bankd
