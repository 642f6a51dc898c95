#include "KitQuery.h"

#include "QueryValue.h"

namespace {

// "encrypt=1&trcode=<code>&UserID=<id>" followed by "&<key>=<value>" pairs.
class Query {
public:
    Query(const char* trcode, const QString& userId)
        : text_(QStringLiteral("encrypt=1&trcode=") + QLatin1String(trcode))
    {
        add("UserID", userId);
    }
    Query& add(const char* key, const QString& value)
    {
        text_ += QLatin1Char('&');
        text_ += QLatin1String(key);
        text_ += QLatin1Char('=');
        text_ += QueryValue(value);
        return *this;
    }
    QString str() const { return text_; }

private:
    QString text_;
};

} // namespace

QString FormatQuery(const QString& format, std::initializer_list<QString> values)
{
    QString out;
    out.reserve(format.size() + 64);
    auto next = values.begin();
    for (qsizetype i = 0; i < format.size(); ++i) {
        if (format.at(i) == QLatin1Char('%') && i + 1 < format.size() && format.at(i + 1) == QLatin1Char('s')) {
            if (next != values.end())
                out += QueryValue(*next++);
            ++i;
        } else {
            out += format.at(i);
        }
    }
    return out;
}

QString BuildQueryA003(const QString& userId) { return Query("PDA_A003", userId).str(); }
QString BuildQueryL001(const QString& userId) { return Query("PDA_L001", userId).str(); }

QString BuildQueryL002(const QString& userId, const QString& loanAccNo)
{
    return Query("PDA_L002", userId).add("LoanAccNo", loanAccNo).str();
}

QString BuildQueryL007(const QString& userId, const QString& loanAccNo)
{
    return Query("PDA_L007", userId).add("LoanAccNo", loanAccNo).str();
}

QString BuildQueryL003(const QString& userId, const QString& loanAccNo, const QString& sdate)
{
    return Query("PDA_L003", userId).add("LoanAccNo", loanAccNo).add("sdate", sdate).str();
}

QString BuildQueryL004(const QString& userId, const QString& outAccNo, const QString& outAccPwd,
                       const QString& tryCnt, const QString& loanAccNo, const QString& sdate,
                       const QString& scrtyWay, const QString& randomNum, const QString& secPwd,
                       const QString& signedMsg)
{
    return Query("PDA_L004", userId)
        .add("OutAccNO", outAccNo)
        .add("OutAccPWD", outAccPwd)
        .add("TryCnt", tryCnt)
        .add("LoanAccNo", loanAccNo)
        .add("sdate", sdate)
        .add("ScrtyWay", scrtyWay)
        .add("RandomNum", randomNum)
        .add("SecPwd", secPwd)
        .add("SignedMsg", signedMsg)
        .str();
}

QString BuildQueryL005(const QString& userId) { return Query("PDA_L005", userId).str(); }

QString BuildQueryL006(const QString& userId, const QString& accNo)
{
    return Query("PDA_L006", userId).add("AccNO", accNo).str();
}

QString BuildQueryC001(const QString& userId, const QString& relayDataYN, const QString& bankGubun)
{
    return Query("PDA_C001", userId).add("RelayDataYN", relayDataYN).add("BankGubun", bankGubun).str();
}

QString BuildQueryC002(const QString& userId, const QString& cardNo, const QString& cardPwd,
                       const QString& sdate, const QString& edate, const QString& conKey)
{
    return Query("PDA_C002", userId)
        .add("CardNO", cardNo)
        .add("CardPwd", cardPwd)
        .add("sdate", sdate)
        .add("edate", edate)
        .add("ConKey", conKey)
        .str();
}

QString BuildQueryC003(const QString& userId, const QString& cardNo, const QString& cardPwd,
                       const QString& sdate)
{
    return Query("PDA_C003", userId).add("CardNO", cardNo).add("CardPwd", cardPwd).add("sdate", sdate).str();
}

QString BuildQueryC004(const QString& userId, const QString& cardNo, const QString& cardPwd,
                       const QString& sdate, const QString& conKey)
{
    return Query("PDA_C004", userId)
        .add("CardNO", cardNo)
        .add("CardPwd", cardPwd)
        .add("sdate", sdate)
        .add("ConKey", conKey)
        .str();
}

QString BuildQueryC005(const QString& userId, const QString& cardNo, const QString& cardPwd)
{
    return Query("PDA_C005", userId).add("CardNO", cardNo).add("CardPwd", cardPwd).str();
}

QString BuildQueryC006(const QString& userId, const QString& cardNo, const QString& cardPwd)
{
    return Query("PDA_C006", userId).add("CardNO", cardNo).add("CardPwd", cardPwd).str();
}

QString BuildQueryC007(const QString& userId, const QString& cardNo, const QString& cardPwd,
                       const QString& cash, const QString& zentab, const QString& ipAccNo)
{
    return Query("PDA_C007", userId)
        .add("CardNO", cardNo)
        .add("CardPwd", cardPwd)
        .add("Cash", cash)
        .add("Zentab", zentab)
        .add("IpAccNO", ipAccNo)
        .str();
}

QString BuildQueryC008(const QString& userId, const QString& cardNo, const QString& cardPwd,
                       const QString& cash, const QString& zentab, const QString& ipAccNo,
                       const QString& scrtyWay, const QString& randomNum, const QString& secPwd,
                       const QString& signedMsg)
{
    return Query("PDA_C008", userId)
        .add("CardNO", cardNo)
        .add("CardPwd", cardPwd)
        .add("Cash", cash)
        .add("Zentab", zentab)
        .add("IpAccNO", ipAccNo)
        .add("ScrtyWay", scrtyWay)
        .add("RandomNum", randomNum)
        .add("SecPwd", secPwd)
        .add("SignedMsg", signedMsg)
        .str();
}

QString BuildQueryR001(const QString& userId) { return Query("PDA_R001", userId).str(); }

QString BuildQueryR002(const QString& userId, const QString& acctNo, const QString& acctPwd)
{
    return Query("PDA_R002", userId).add("ACCTNO", acctNo).add("ACCTPWD", acctPwd).str();
}

QString BuildQueryR003(const QString& userId) { return Query("PDA_R003", userId).str(); }

QString BuildQueryR004(const QString& userId, const QString& cardData)
{
    return Query("PDA_R004", userId).add("CARDDATA", cardData).str();
}

QString BuildQueryR005(const QString& userId, const QString& cardCmp)
{
    return Query("PDA_R005", userId).add("CARDCMP", cardCmp).str();
}

QString BuildQueryR006(const QString& userId, const QString& cardData)
{
    return Query("PDA_R006", userId).add("CARDDATA", cardData).str();
}

QString BuildQueryU003(const QString& base, const QString& num)
{
    return base + QStringLiteral("?trcode=PDA_U003&Num=") + QueryValue(num);
}

QString BuildQueryU004(const QString& base, const QString& num)
{
    return base + QStringLiteral("?trcode=PDA_U004&Num=") + QueryValue(num);
}

QString BuildQueryT003(const QString& base) { return base + QStringLiteral("?trcode=PDA_T003"); }
