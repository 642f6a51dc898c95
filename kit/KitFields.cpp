#include "KitFields.h"

namespace {

// Removes trailing, then leading space characters (blanks only).
QStringView trimBlanks(QStringView s)
{
    while (!s.isEmpty() && s.back() == QLatin1Char(' '))
        s.chop(1);
    while (!s.isEmpty() && s.front() == QLatin1Char(' '))
        s = s.mid(1);
    return s;
}

bool isNullWord(QStringView s)
{
    return s == u"null" || s == u"Null" || s == u"NULL";
}

} // namespace

std::optional<QString> DupField(QStringView text, QStringView delimiter)
{
    if (delimiter.isEmpty())
        return std::nullopt;
    const qsizetype at = text.indexOf(delimiter);
    if (at < 0)
        return std::nullopt;
    const QStringView field = trimBlanks(text.left(at));
    if (isNullWord(field))
        return QString();
    return field.toString();
}

bool GetField(QStringView text, QStringView delimiter, QString& out)
{
    out.clear();
    if (delimiter.isEmpty())
        return false;
    const qsizetype at = text.indexOf(delimiter);
    if (at < 0)
        return false;
    const QStringView field = trimBlanks(text.left(at));
    if (isNullWord(field))
        return false;
    out = field.toString();
    return true;
}

qsizetype FieldEnd(QStringView text, QStringView delimiter)
{
    const qsizetype at = delimiter.isEmpty() ? -1 : text.indexOf(delimiter);
    if (at < 0)
        return text.size();
    return at + delimiter.size();
}

QString DigitsOnly(QStringView source)
{
    QString out;
    out.reserve(source.size());
    for (QChar c : source) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            out += c;
    }
    return out;
}

namespace kit {
QString WithoutDashes(QString number)
{
    number.remove(QLatin1Char('-'));
    return number;
}
} // namespace kit
