#include "EndSessionCall.h"

#include <curl/curl.h>

#include "GatewayProtocol.h"

namespace velcor {

namespace {
constexpr std::size_t kMaxAnswer = 64 * 1024;

std::size_t collect(char* data, std::size_t size, std::size_t count, void* user)
{
    auto* out = static_cast<std::string*>(user);
    const std::size_t n = size * count;
    if (out->size() + n > kMaxAnswer)
        return 0; // aborts the transfer
    out->append(data, n);
    return n;
}
} // namespace

HttpAnswer postEndSession(const std::string& url, const std::string& body)
{
    static const bool curlReady = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    HttpAnswer answer;
    if (!curlReady)
        return answer;
    CURL* curl = curl_easy_init();
    if (!curl)
        return answer;
    const std::string contentType = "Content-Type: " + std::string(protocol::kEndSessionContentType);
    curl_slist* headers = curl_slist_append(nullptr, contentType.c_str());
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_POST, 1L);
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.data());
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, static_cast<long>(body.size()));
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_NOPROXY, "*");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, 5000L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, 10000L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, collect);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &answer.body);
    if (curl_easy_perform(curl) == CURLE_OK) {
        answer.reached = true;
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &answer.status);
    }
    curl_slist_free_all(headers);
    curl_easy_cleanup(curl);
    return answer;
}

} // namespace velcor
