#include "Envelope.h"

namespace bankd {

namespace {
std::string fieldsOf(const Record& fields)
{
    std::string out;
    for (const auto& f : fields) {
        out += Envelope::field(f);
        out += ';';
    }
    return out;
}
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
    out.reserve(value.size());
    for (char c : value) {
        switch (c) {
        case ';': out += "\xEF\xBC\x9B"; break;  // ；
        case '|': out += "\xEF\xBD\x9C"; break;  // ｜
        case '<': out += "\xEF\xBC\x9C"; break;  // ＜
        case '>': out += "\xEF\xBC\x9E"; break;  // ＞
        case '\r':
        case '\n':
        case '\t': out += ' '; break;
        default: out += c;
        }
    }
    return out;
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
    list0_ += fieldsOf(fields);
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
    out.reserve(64 + text_.size() + free0_.size() + free1_.size() + list0_.size());
    out += "<DataTag><msg>";
    out += field(code_);
    out += ';';
    out += field(text_);
    out += ";</msg>";
    if (hasFree0_)
        out += "<free0>" + free0_ + "</free0>";
    if (hasFree1_)
        out += "<free1>" + free1_ + "</free1>";
    if (hasList0_)
        out += "<list0>" + list0_ + "</list0>";
    out += "</DataTag>";
    return out;
}

} // namespace bankd
