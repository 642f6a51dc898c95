#include "LoanRecords.h"

#include "KitAmount.h"
#include "KitReply.h"

namespace loans {

QString LoanTotal(const QStringList& balances)
{
    return QString::number(SumAmounts(balances));
}

QStringList GeneralDetailLabels()
{
    return {QStringLiteral("대출금액"),       QStringLiteral("대출종류"),     QStringLiteral("대출잔액"),
            QStringLiteral("최초취급일"),     QStringLiteral("최종거래일"),   QStringLiteral("다음이자납입일"),
            QStringLiteral("연체여부"),       QStringLiteral("이수기일"),     QStringLiteral("상환방식"),
            QStringLiteral("총납입회차"),     QStringLiteral("금번상환원리금"), QStringLiteral("자동이체"),
            QStringLiteral("이자수취조건")};
}

QList<DetailRow> GeneralDetailRows(const QString& reply)
{
    const QStringList labels = GeneralDetailLabels();
    QList<DetailRow> rows;
    for (const QString& l : labels)
        rows.append({l, QString(), false});
    for (int r : {0, 2, 10})
        rows[r].rightAligned = true;
    const QStringList a = kit::FreeFields(reply, 8);
    const QStringList b = kit::FreeFields(reply, 14, QStringLiteral("free1"));
    if (a.isEmpty() || b.isEmpty())
        return rows;
    const QStringList values = {FormatAmountOrEmpty(a[4]), b[1], FormatAmountOrEmpty(b[2]), b[3], b[5], b[6], b[7],
                                b[8], b[9], b[10], FormatAmountOrEmpty(b[11]), b[12], b[13]};
    for (int r = 0; r < rows.size(); ++r)
        rows[r].value = values[r];
    return rows;
}

QList<DetailRow> CreditDetailRows(const QString& reply)
{
    // The number of entries is the number of ";"-ended labels.
    const QStringList labels = kit::FreeFields(reply, -1, QStringLiteral("free1"));
    const QStringList values = kit::FreeFields(reply, static_cast<int>(labels.size()));
    QList<DetailRow> rows;
    for (int i = 0; i < labels.size(); ++i) {
        if (i == 9 || i == 11)
            continue;
        DetailRow row{labels[i], values.value(i), false};
        if (i == 3 || i == 4) {
            row.value = FormatAmountOrEmpty(row.value);
            row.rightAligned = true;
        } else if (i == 10 && !row.value.isEmpty()) {
            row.value = row.value.startsWith(QLatin1Char('N')) ? QStringLiteral("정상") : QStringLiteral("연체");
        }
        rows.append(row);
    }
    return rows;
}

QList<DetailRow> RecordRows(const QString& reply, const QStringList& labels, const QList<int>& right, int valueOffset)
{
    const QStringList f = kit::FreeFields(reply, static_cast<int>(labels.size()));
    QList<DetailRow> rows;
    for (int r = 0; r < labels.size(); ++r)
        rows.append({labels[r], r - valueOffset >= 0 ? f.value(r - valueOffset) : QString(), right.contains(r)});
    return rows;
}

QStringList InterestPositionLabels()
{
    return {QStringLiteral("예금주 성명"), QStringLiteral("계좌번호"), QStringLiteral("대출잔액"),
            QStringLiteral("현재잔액"),    QStringLiteral("취급일"),   QStringLiteral("이수기일"),
            QStringLiteral("만기일"),      QStringLiteral("다음이자 납입일"), QStringLiteral("연체여부"),
            QStringLiteral("대출이율")};
}

QStringList InterestDueLabels()
{
    return {QStringLiteral("대출계좌번호"), QStringLiteral("이자조회일"),   QStringLiteral("예금주성명"),
            QStringLiteral("연체여부"),     QStringLiteral("연체기산일"),   QStringLiteral("이자납입액"),
            QStringLiteral("연체이자금액"), QStringLiteral("대출금액"),     QStringLiteral("연체만료일")};
}

QStringList ReceiptLabels()
{
    return {QStringLiteral("예금주성명"), QStringLiteral("출금계좌번호"), QStringLiteral("차주성명"),
            QStringLiteral("대출계좌번호"), QStringLiteral("이수초일"),   QStringLiteral("이수말일"),
            QStringLiteral("이자금액"),   QStringLiteral("연체기산일"),   QStringLiteral("연체이자"),
            QStringLiteral("거래후잔액")};
}

} // namespace loans
