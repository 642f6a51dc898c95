// The client's envelope readers (CQVParser) on a hostile reply, walked the
// way the modules walk one: the data tag, the message, then every record and
// field of the free and list elements and of a tag the input names.
#include <QString>

#include <cstdint>

#include "CQVParser.h"
#include "FuzzInput.h"

namespace {

QString text(std::string_view bytes)
{
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

void walk(CQVParser& parser, const QString& data, const QString& tag, const QString& sep, int maxField)
{
    for (int record = 1; record <= 40; ++record) {
        const QString whole = parser.GetRecord(data, tag, record, sep);
        const int exists = parser.ExistRecord(data, tag, record, sep);
        fuzz::check((exists != 0) == !whole.isEmpty(), "ExistRecord disagrees with GetRecord");
        fuzz::check(whole.size() <= data.size(), "a record longer than its text");
        for (int field = 1; field <= maxField; ++field) {
            const QString value = parser.GetTagValue(data, tag, field, record, sep);
            fuzz::check(value.size() <= data.size(), "a field longer than its text");
        }
        if (!exists)
            break;
    }
    // Out-of-range numbers read as nothing.
    fuzz::check(parser.GetTagValue(data, tag, 0, 1, sep).isEmpty(), "field 0 read something");
    fuzz::check(parser.GetTagValue(data, tag, 1, 0, sep).isEmpty(), "record 0 read something");
    fuzz::check(parser.GetRecord(data, tag, -1, sep).isEmpty(), "record -1 read something");
}

} // namespace

// Input: field count byte, tag record, separator record, then the reply text (UTF-8).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Reader in(data, size);
    const int maxField = in.byte() % 12 + 1;
    const QString ownTag = text(in.chunk());
    QString sep = text(in.chunk());
    if (sep.isEmpty())
        sep = QStringLiteral("|");
    const QString reply = text(in.rest());

    CQVParser parser(nullptr);
    QString body;
    if (!parser.GetDataTag(reply, body)) {
        fuzz::check(body.isEmpty(), "GetDataTag failed but set its data");
        body = reply;
    }
    fuzz::check(body.size() <= reply.size(), "data tag longer than the reply");
    QString code, message;
    const int ok = parser.GetMsgTag(body, code, message);
    fuzz::check((ok != 0) == (code == QLatin1String("10000")), "GetMsgTag's answer disagrees with its code");
    for (const char* tag : {"free0", "free1", "list0", "msg"})
        walk(parser, body, QString::fromLatin1(tag), sep, maxField);
    walk(parser, body, ownTag, sep, maxField);
    walk(parser, reply, ownTag, QStringLiteral(";"), maxField);
    return 0;
}
