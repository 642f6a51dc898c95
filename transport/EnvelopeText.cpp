#include "EnvelopeText.h"

namespace transport {
namespace {

bool isBlank(QChar c)
{
    switch (c.unicode()) {
    case u' ':
    case u'\t':
    case u'\r':
    case u'\n':
    case u'\v':
    case u'\f':
        return true;
    default:
        return false;
    }
}

} // namespace

QStringView trimBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

QStringView parseElement(QStringView text, QStringView tag)
{
    QString open;
    open.reserve(tag.size() + 3);
    open += u'<';
    open += tag;
    open += u'>';
    const qsizetype a = text.indexOf(open);
    if (a < 0)
        return {};
    const qsizetype from = a + open.size();
    open.insert(1, u'/'); // "</tag>"
    const qsizetype c = text.indexOf(open, from);
    if (c < 0)
        return {};
    return trimBlanks(text.mid(from, c - from));
}

// The wrap is computed, not walked, so a huge n costs no more than one pass
// over the text.
QStringView parsedItem(QStringView text, unsigned n, QStringView sep)
{
    if (n == 0 || sep.isEmpty())
        return {};
    const qsizetype sepLen = sep.size();
    const qsizetype wrapStart = sepLen - 1; // where the item after an unterminated one starts

    auto itemAt = [&](qsizetype start) -> QStringView {
        const qsizetype end = text.indexOf(sep, start);
        if (end < 0)
            return {};
        return trimBlanks(text.mid(start, end - start));
    };
    auto next = [&](qsizetype start) -> qsizetype {
        const qsizetype end = text.indexOf(sep, start);
        return end < 0 ? wrapStart : end + sepLen;
    };

    // Walk to item n, or to the first unterminated item before it.
    qsizetype start = 0;
    unsigned i = 1;
    for (; i < n; ++i) {
        const bool unterminated = text.indexOf(sep, start) < 0;
        start = next(start);
        if (unterminated)
            break;
    }
    if (i >= n)
        return itemAt(start);

    // Item i + 1 starts at wrapStart; from there the items repeat with a period
    // that closes at the next unterminated item.
    const unsigned firstOfCycle = i + 1;
    unsigned period = 1;
    for (qsizetype s = wrapStart; text.indexOf(sep, s) >= 0; s = next(s))
        ++period;
    unsigned steps = (n - firstOfCycle) % period;
    start = wrapStart;
    while (steps-- > 0)
        start = next(start);
    return itemAt(start);
}

} // namespace transport
