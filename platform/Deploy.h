#pragma once
#include <QString>
#include "PlatformExport.h"

namespace platform {

// Deployment values from deploy.ini in the program folder, or from the file
// named by $TVPB_DEPLOY. Read once per process; reload() re-reads (tests).
//
//   [bank]     server_host = 127.0.0.1:8080      (host[:port] of servlets and gateway)
//              gateway_public_key = <base64 X25519 public key>
//   [download] host = 127.0.0.1:8080
//   [carrier]  skt_account = ...   ktf_realm = ...   lgt_realm = ...
class TVPB_PLATFORM_EXPORT Deploy {
public:
    static QString value(const QString& section, const QString& key, const QString& fallback = {});
    static QString serverHost();
    static QString gatewayPublicKey();
    static QString downloadHost();
    static QString filePath();
    static void reload();
};

} // namespace platform
