#include "NoticeRecords.h"

#include <algorithm>

#include "KitReply.h"

namespace kit {

NoticePage FillStruct(const QString& reply)
{
    NoticePage page;
    // The end flag is the free block's text up to its first ";" (an empty flag
    // when the block or its ";" is missing).
    const QStringList flag = FreeFields(reply, 1);
    page.endFlag = flag.value(0);
    for (const QStringList& f : ListRecords(reply, 3))
        page.records.append({f[0], f[1], f[2]});
    return page;
}

_ST3510 FillDetail(const QString& reply)
{
    _ST3510 notice;
    const QString text = BlockText(reply, QStringLiteral("free0"));
    const qsizetype first = text.indexOf(u';');
    if (first < 0) {
        notice.title = text.trimmed();
        return notice;
    }
    notice.title = text.left(first).trimmed();
    const qsizetype second = text.indexOf(u';', first + 1);
    if (second < 0) {
        notice.second = text.mid(first + 1).trimmed();
        return notice;
    }
    notice.second = text.mid(first + 1, second - first - 1).trimmed();
    // The body ends with the record's closing ";".
    notice.body = text.mid(second + 1);
    if (!notice.body.isEmpty())
        notice.body.chop(1);
    return notice;
}

QString NoticeRowText(const _ST3500& record)
{
    QString reversed = record.num;
    std::reverse(reversed.begin(), reversed.end());
    return QStringLiteral("> ") + record.title + QString(45, u' ') + reversed;
}

QString NoticeNumberOfRow(const QString& rowText)
{
    QString num;
    for (qsizetype i = rowText.size() - 1; i >= 0 && rowText[i] != u' '; --i)
        num.append(rowText[i]);
    return num;
}

QString NoticeDetailText(const _ST3510& notice)
{
    return QStringLiteral("[") + notice.title + QStringLiteral("]\r\n") + notice.body;
}

QString NoticeDisplayText(const QString& detailText)
{
    QString text = detailText;
    text.replace(QStringLiteral("<br>"), QStringLiteral("\r\n"));
    text.replace(QStringLiteral("&nbsp;"), QStringLiteral(" "));
    // The text box breaks lines at "\n" alone.
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

} // namespace kit
