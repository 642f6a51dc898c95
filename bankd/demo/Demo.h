#pragma once
// The demo bank: Korean customers (a security-card user, a certificate user
// and one more), their accounts of several kinds with histories, and more
// than one page of notices. Later transaction groups add their own data here.
#include <string>
#include <vector>

#include "Admin.h"

namespace bankd {

class Store;

struct DemoOptions {
    std::string home;               // client's TVPB_HOME (certificate store)
    bool fastCertificates = false;  // minimum certificate KDF (tests)
};

std::vector<DemoUser> populateDemo(Store& store, const DemoOptions& options);

} // namespace bankd
