#include "KitDates.h"

#include <QApplication>
#include <QDateEdit>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOptionComplex>

namespace kit {

namespace {
// The pickers draw as a combo box. The usual drop-down button takes some 19 of
// the picker's 88 to 91 pixels and leaves too little for "2026-12-08" in the
// 11-pixel font; this style gives the button a narrower strip (still wide enough
// for the arrow and a stylus tap) and hands the pixels to the text field.
class DatePickerStyle : public QProxyStyle {
public:
    static constexpr int kButtonWidth = 14;

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                         const QWidget* widget) const override
    {
        QRect r = QProxyStyle::subControlRect(control, option, sub, widget);
        if (control != CC_ComboBox || (sub != SC_ComboBoxArrow && sub != SC_ComboBoxEditField))
            return r;
        const QRect arrow = QProxyStyle::subControlRect(control, option, SC_ComboBoxArrow, widget);
        const int spare = arrow.width() - kButtonWidth;
        if (spare <= 0)
            return r;
        const bool rtl = option->direction == Qt::RightToLeft;
        if (sub == SC_ComboBoxArrow)
            return rtl ? r.adjusted(0, 0, -spare, 0) : r.adjusted(spare, 0, 0, 0);
        return rtl ? r.adjusted(-spare, 0, 0, 0) : r.adjusted(0, 0, spare, 0);
    }
};

QStyle* datePickerStyle()
{
    // One style for every picker, owned by the application (tests make more than one).
    static QPointer<QStyle> style;
    if (!style) {
        style = new DatePickerStyle;
        style->setParent(QCoreApplication::instance());
    }
    return style;
}

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
    picker->setStyle(datePickerStyle());
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
