#pragma once
// The reply envelope the client cuts apart:
//   <DataTag><msg>CODE;TEXT;</msg><free0>f;f;</free0><free1>f;</free1><list0>f;f;|f;f;|</list0></DataTag>
// Every field is followed by ";", every list record by "|". Values cannot
// carry the separators or tag brackets, so the writer replaces ";", "|", "<"
// and ">" inside a value by their full-width forms and line breaks by blanks.
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace bankd {

using Record = std::vector<std::string>;

class Envelope {
public:
    Envelope(std::string code, std::string text);
    static Envelope ok(std::string text = "정상처리 되었습니다.");

    Envelope& free0(const Record& fields);
    Envelope& free1(const Record& fields);
    // A free0 whose last part is written as given (a notice body with "<br>"):
    // only a closing tag inside it is defused.
    Envelope& free0WithRawTail(const Record& fields, std::string_view rawTail);
    // A free0 holding one record ended by "|" (a profile of many fields).
    Envelope& free0Record(const Record& fields);
    // A free0 holding one bare value, without a field end (a holder name).
    Envelope& free0Value(std::string_view value);
    Envelope& addRecord(const Record& fields);
    Envelope& addRecord(std::initializer_list<std::string_view> fields);
    // Writes "<list0></list0>" even when no record was added.
    Envelope& emptyList();

    const std::string& code() const { return code_; }
    const std::string& text() const { return text_; }
    bool succeeded() const;
    std::string str() const;  // UTF-8

    static std::string field(std::string_view value);
    // Appends field(value) to out.
    static void appendField(std::string& out, std::string_view value);

private:
    std::string code_;
    std::string text_;
    std::string free0_;
    std::string free1_;
    std::string list0_;
    bool hasFree0_ = false;
    bool hasFree1_ = false;
    bool hasList0_ = false;
};

inline constexpr const char* kSuccessCode = "10000";

} // namespace bankd
