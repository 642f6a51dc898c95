#include "IpAddress.h"

#include <arpa/inet.h>
#include <netinet/in.h>

namespace bankd {

std::string ipAddressText(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    if (text.empty() || text.size() >= INET6_ADDRSTRLEN)
        return {};
    const std::string s(text);
    unsigned char bin[sizeof(in6_addr)];
    char out[INET6_ADDRSTRLEN] = {};
    if (inet_pton(AF_INET, s.c_str(), bin) == 1 && inet_ntop(AF_INET, bin, out, sizeof out))
        return out;
    if (inet_pton(AF_INET6, s.c_str(), bin) == 1 && inet_ntop(AF_INET6, bin, out, sizeof out))
        return out;
    return {};
}

} // namespace bankd
