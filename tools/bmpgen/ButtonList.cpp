#include "ButtonList.h"

#include <QRegularExpression>
#include <QSet>
#include <QStringList>

namespace bmpgen {

namespace {
QString sizeDigits(const ButtonSpec& s)
{
    return QStringLiteral("%1%2").arg(s.width, 2, 10, QLatin1Char('0')).arg(s.height, 2, 10, QLatin1Char('0'));
}
} // namespace

QString ButtonSpec::baseName() const { return label + QLatin1Char('_') + sizeDigits(*this); }
QString ButtonSpec::normalFile() const { return baseName() + QStringLiteral(".bmp"); }
QString ButtonSpec::pressedFile() const { return baseName() + QStringLiteral("_d.bmp"); }
QString ButtonSpec::dimmedFile() const { return label + QStringLiteral("_D") + sizeDigits(*this) + QStringLiteral(".bmp"); }

bool parseButtonName(const QString& text, ButtonSpec* spec, QString* error)
{
    // The label is everything before the last "_" that is followed by the size.
    static const QRegularExpression re(
        QStringLiteral(R"(^(?:(?i:BMP)[\\/])?([^\\/_\s]+)_(D?)(\d\d)(\d\d)(_d)?(?:(?i:\.bmp))?$)"));
    const QString trimmed = text.trimmed();
    const QRegularExpressionMatch m = re.match(trimmed);
    if (!m.hasMatch()) {
        if (error)
            *error = QStringLiteral("not a button image name: \"%1\"").arg(trimmed);
        return false;
    }
    if (!m.captured(2).isEmpty() && !m.captured(5).isEmpty()) {
        if (error)
            *error = QStringLiteral("a name cannot be both dimmed and pressed: \"%1\"").arg(trimmed);
        return false;
    }
    ButtonSpec s;
    s.label = m.captured(1);
    s.width = m.captured(3).toInt();
    s.height = m.captured(4).toInt();
    if (s.width == 0 || s.height == 0) {
        if (error)
            *error = QStringLiteral("zero size in \"%1\"").arg(trimmed);
        return false;
    }
    if (spec)
        *spec = s;
    return true;
}

bool parseButtonList(const QString& text, QList<ButtonSpec>* specs, QString* error)
{
    QList<ButtonSpec> out;
    QSet<QString> seen;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        ButtonSpec s;
        QString why;
        if (!parseButtonName(line, &s, &why)) {
            if (error)
                *error = QStringLiteral("line %1: %2").arg(i + 1).arg(why);
            return false;
        }
        if (seen.contains(s.baseName()))
            continue;
        seen.insert(s.baseName());
        out.append(s);
    }
    if (specs)
        *specs = out;
    return true;
}

} // namespace bmpgen
