#include "KitCodeTables.h"

#include <QComboBox>
#include <QStringList>

#include "CBCode.h"
#include "CECode.h"

namespace {

// The table's tokens, split at every tab, carriage return and line feed (empty
// tokens skipped): code, name, code, name ...
QStringList tokensOf(const QString& table)
{
    QStringList tokens;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= table.size(); ++i) {
        const bool end = i == table.size();
        const QChar c = end ? QChar() : table.at(i);
        if (end || c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (i > start)
                tokens.append(table.mid(start, i - start));
            start = i + 1;
        }
    }
    return tokens;
}

// The module-wide table objects and their tokens, built on first use.
const QStringList& zentabTokens()
{
    static const CBCode table;
    static const QStringList tokens = tokensOf(table.GetZentab());
    return tokens;
}

const QStringList& quendraTokens()
{
    static const CECode table;
    static const QStringList tokens = tokensOf(table.GetQuendra());
    return tokens;
}

QString codeOf(const QStringList& tokens, const QString& name)
{
    for (qsizetype i = 1; i < tokens.size(); i += 2) {
        if (tokens.at(i) == name)
            return tokens.at(i - 1);
    }
    return {};
}

QString nameOf(const QStringList& tokens, const QString& code)
{
    for (qsizetype i = 0; i + 1 < tokens.size(); i += 2) {
        if (tokens.at(i) == code)
            return tokens.at(i + 1);
    }
    return {};
}

} // namespace

QString ZentabCodeOf(const QString& name) { return codeOf(zentabTokens(), name); }
QString ZentabNameOf(const QString& code) { return nameOf(zentabTokens(), code); }

void FillZentabCombo(QComboBox* combo)
{
    if (!combo)
        return;
    const QStringList& tokens = zentabTokens();
    for (qsizetype i = 1; i < tokens.size(); i += 2)
        combo->addItem(tokens.at(i));
}

QString QuendraCodeOf(const QString& name) { return codeOf(quendraTokens(), name); }
QString QuendraNameOf(const QString& code) { return nameOf(quendraTokens(), code); }
