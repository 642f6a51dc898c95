#include "KitDates.h"

#include <QDateEdit>

namespace kit {

namespace {
bool isKey(QStringView text)
{
    if (text.size() != 3)
        return false;
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}
} // namespace

QDateEdit* MakeDatePicker(QWidget* parent, const QString& objectName, const QDate& date)
{
    auto* picker = new QDateEdit(date, parent);
    picker->setObjectName(objectName);
    picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    picker->setCalendarPopup(true);
    QFont small = picker->font();
    small.setPixelSize(11);
    picker->setFont(small);
    return picker;
}

QString Ymd(const QDate& date)
{
    if (!date.isValid())
        return {};
    return QString::asprintf("%.4d%.2d%.2d", date.year(), date.month(), date.day());
}

QString ContinuationKey(const QString& text)
{
    const QStringView head = QStringView(text).left(3);
    return isKey(head) ? head.toString() : QStringLiteral("000");
}

bool HasNextPage(const QString& key)
{
    return isKey(key) && key != QLatin1String("000") && key != QLatin1String("999");
}

QString NextPageKey(const QString& key)
{
    if (!HasNextPage(key))
        return QStringLiteral("000");
    return QString::asprintf("%03d", key.toInt() + 1);
}

} // namespace kit
