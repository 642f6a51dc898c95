#include "QuoteBook.h"

#include <algorithm>

namespace bankd {

namespace {
// How often the whole book is searched for expired quotes.
constexpr std::chrono::seconds kSweepEvery{60};
} // namespace

std::string QuoteBook::keyOf(const quotes::Binding& b)
{
    std::string key = b.kind;
    key += '\n';
    key += std::to_string(b.customerId);
    key += '\n';
    key += b.sessionKey;
    return key;
}

bool QuoteBook::add(const std::string& serial, Entry entry, Clock::time_point now)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (now >= nextSweep_) {
        nextSweep_ = now + kSweepEvery;
        dropExpired(bankTimestamp(now));
    }
    const std::string key = keyOf(entry.binding);
    entry.added = ++added_;
    auto [it, fresh] = bySerial_.try_emplace(serial, std::move(entry));
    if (!fresh)
        return false;
    byAge_.emplace_back(added_, serial);
    auto& list = byBinding_[key];
    list.push_back(serial);
    while (list.size() > kPerBinding) {
        bySerial_.erase(list.front());
        list.pop_front();
    }
    while (bySerial_.size() > kMost)
        dropOldest();
    // The age list also holds what the bindings dropped: trimmed when it
    // grows well past the book.
    if (byAge_.size() > 2 * bySerial_.size() + kPerBinding) {
        std::erase_if(byAge_, [&](const auto& a) {
            auto e = bySerial_.find(a.second);
            return e == bySerial_.end() || e->second.added != a.first;
        });
    }
    return true;
}

void QuoteBook::dropOldest()
{
    while (!byAge_.empty()) {
        auto [added, serial] = byAge_.front();
        byAge_.pop_front();
        auto e = bySerial_.find(serial);
        if (e == bySerial_.end() || e->second.added != added)
            continue;  // dropped already
        auto b = byBinding_.find(keyOf(e->second.binding));
        if (b != byBinding_.end()) {
            std::erase(b->second, serial);
            if (b->second.empty())
                byBinding_.erase(b);
        }
        bySerial_.erase(e);
        return;
    }
}

std::optional<QuoteBook::Entry> QuoteBook::get(const std::string& serial) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = bySerial_.find(serial);
    if (it == bySerial_.end())
        return std::nullopt;
    return it->second;
}

std::vector<std::string> QuoteBook::newestOf(const quotes::Binding& binding) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = byBinding_.find(keyOf(binding));
    if (it == byBinding_.end())
        return {};
    return {it->second.rbegin(), it->second.rend()};
}

std::size_t QuoteBook::size() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return bySerial_.size();
}

void QuoteBook::dropExpired(const std::string& nowStamp)
{
    for (auto b = byBinding_.begin(); b != byBinding_.end();) {
        auto& list = b->second;
        list.erase(std::remove_if(list.begin(), list.end(),
                                  [&](const std::string& serial) {
                                      auto it = bySerial_.find(serial);
                                      if (it == bySerial_.end() || it->second.expiresAt < nowStamp) {
                                          if (it != bySerial_.end())
                                              bySerial_.erase(it);
                                          return true;
                                      }
                                      return false;
                                  }),
                   list.end());
        b = list.empty() ? byBinding_.erase(b) : std::next(b);
    }
}

} // namespace bankd
