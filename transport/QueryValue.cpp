#include "QueryValue.h"

QString QueryValue(const QString& value)
{
    if (!value.contains(u'%') && !value.contains(u'&'))
        return value;
    QString out;
    out.reserve(value.size() + 8);
    for (QChar c : value) {
        if (c == u'%')
            out += QStringLiteral("%25");
        else if (c == u'&')
            out += QStringLiteral("%26");
        else
            out += c;
    }
    return out;
}
