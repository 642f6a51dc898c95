#include "Envelope.h"

#include <array>

namespace bankd {

namespace {
template <class Fields>
void appendFields(std::string& out, const Fields& fields)
{
    for (const auto& f : fields) {
        Envelope::appendField(out, f);
        out += ';';
    }
}

std::string fieldsOf(const Record& fields)
{
    std::string out;
    appendFields(out, fields);
    return out;
}

// What each byte becomes inside a value: 0 itself, else the index of its
// replacement in kReplacements.
constexpr std::array<unsigned char, 256> kEscapes = [] {
    std::array<unsigned char, 256> t{};
    t[';'] = 1;
    t['|'] = 2;
    t['<'] = 3;
    t['>'] = 4;
    t['\r'] = t['\n'] = t['\t'] = 5;
    return t;
}();
constexpr std::string_view kReplacements[] = {
    "", "\xEF\xBC\x9B" /* ； */, "\xEF\xBD\x9C" /* ｜ */, "\xEF\xBC\x9C" /* ＜ */, "\xEF\xBC\x9E" /* ＞ */, " "};
} // namespace

Envelope::Envelope(std::string code, std::string text) : code_(std::move(code)), text_(std::move(text)) {}

Envelope Envelope::ok(std::string text)
{
    return Envelope(kSuccessCode, std::move(text));
}

bool Envelope::succeeded() const
{
    return code_ == kSuccessCode;
}

std::string Envelope::field(std::string_view value)
{
    std::string out;
    appendField(out, value);
    return out;
}

void Envelope::appendField(std::string& out, std::string_view value)
{
    const char* p = value.data();
    const char* const end = p + value.size();
    while (p < end) {
        // Runs of ordinary bytes go in whole.
        const char* run = p;
        while (run < end && kEscapes[static_cast<unsigned char>(*run)] == 0)
            ++run;
        out.append(p, static_cast<std::size_t>(run - p));
        if (run == end)
            break;
        out += kReplacements[kEscapes[static_cast<unsigned char>(*run)]];
        p = run + 1;
    }
}

Envelope& Envelope::free0(const Record& fields)
{
    free0_ = fieldsOf(fields);
    hasFree0_ = true;
    return *this;
}

Envelope& Envelope::free0Record(const Record& fields)
{
    free0_ = fieldsOf(fields) + '|';
    hasFree0_ = true;
    return *this;
}

Envelope& Envelope::free0Value(std::string_view value)
{
    free0_ = field(value);
    hasFree0_ = true;
    return *this;
}

Envelope& Envelope::free1(const Record& fields)
{
    free1_ = fieldsOf(fields);
    hasFree1_ = true;
    return *this;
}

Envelope& Envelope::free0WithRawTail(const Record& fields, std::string_view rawTail)
{
    std::string tail;
    tail.reserve(rawTail.size());
    for (size_t i = 0; i < rawTail.size(); ++i) {
        if (rawTail[i] == '<' && i + 1 < rawTail.size() && rawTail[i + 1] == '/')
            tail += "\xEF\xBC\x9C";  // "</" would close an element early
        else
            tail += rawTail[i];
    }
    free0_ = fieldsOf(fields) + tail + ';';
    hasFree0_ = true;
    return *this;
}

Envelope& Envelope::addRecord(const Record& fields)
{
    appendFields(list0_, fields);
    list0_ += '|';
    hasList0_ = true;
    return *this;
}

Envelope& Envelope::addRecord(std::initializer_list<std::string_view> fields)
{
    if (list0_.empty())
        list0_.reserve(1024);  // a list of a dozen records grows once at most
    appendFields(list0_, fields);
    list0_ += '|';
    hasList0_ = true;
    return *this;
}

Envelope& Envelope::emptyList()
{
    hasList0_ = true;
    return *this;
}

std::string Envelope::str() const
{
    std::string out;
    out.reserve(96 + text_.size() + free0_.size() + free1_.size() + list0_.size());
    out += "<DataTag><msg>";
    appendField(out, code_);
    out += ';';
    appendField(out, text_);
    out += ";</msg>";
    auto element = [&out](bool has, const char* open, const std::string& body, const char* close) {
        if (has) {
            out += open;
            out += body;
            out += close;
        }
    };
    element(hasFree0_, "<free0>", free0_, "</free0>");
    element(hasFree1_, "<free1>", free1_, "</free1>");
    element(hasList0_, "<list0>", list0_, "</list0>");
    out += "</DataTag>";
    return out;
}

} // namespace bankd
