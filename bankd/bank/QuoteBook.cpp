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
    const std::int64_t customerId = entry.binding.customerId;
    entry.added = ++added_;
    auto [it, fresh] = bySerial_.try_emplace(serial, std::move(entry));
    if (!fresh)
        return false;
    byAge_.emplace_back(added_, serial);
    Customer& customer = byCustomer_[customerId];
    ++customer.quotes;
    customer.byAge.emplace_back(added_, serial);
    auto& list = byBinding_[key];
    list.push_back(serial);

    if (list.size() > kPerBinding)
        drop(bySerial_.find(list.front()));
    if (customer.quotes > kPerCustomer)
        dropOldestOf(customer.byAge);
    if (bySerial_.size() > kMost)
        dropOldestOf(byAge_);
    // The age lists also hold what other bounds dropped.
    trim(byAge_, bySerial_.size());
    if (auto c = byCustomer_.find(customerId); c != byCustomer_.end())
        trim(c->second.byAge, c->second.quotes);
    return true;
}

void QuoteBook::drop(std::unordered_map<std::string, Entry>::iterator e)
{
    if (e == bySerial_.end())
        return;
    if (auto b = byBinding_.find(keyOf(e->second.binding)); b != byBinding_.end()) {
        std::erase(b->second, e->first);
        if (b->second.empty())
            byBinding_.erase(b);
    }
    if (auto c = byCustomer_.find(e->second.binding.customerId); c != byCustomer_.end() && --c->second.quotes == 0)
        byCustomer_.erase(c);
    bySerial_.erase(e);
}

void QuoteBook::dropOldestOf(std::deque<Age>& ages)
{
    while (!ages.empty()) {
        auto [added, serial] = ages.front();
        ages.pop_front();
        auto e = bySerial_.find(serial);
        if (e != bySerial_.end() && e->second.added == added) {
            drop(e);  // may end the customer that `ages` belongs to: return at once
            return;
        }
    }
}

void QuoteBook::trim(std::deque<Age>& ages, std::size_t live)
{
    if (ages.size() <= 2 * live + kPerBinding)
        return;
    std::erase_if(ages, [&](const Age& a) {
        auto e = bySerial_.find(a.second);
        return e == bySerial_.end() || e->second.added != a.first;
    });
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
    for (auto e = bySerial_.begin(); e != bySerial_.end();) {
        auto next = std::next(e);
        if (e->second.expiresAt < nowStamp)
            drop(e);
        e = next;
    }
}

} // namespace bankd
