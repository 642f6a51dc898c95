#pragma once
// Request builders of the service kit: one per transaction the kit sends for
// its modules. Every query is "key=value" pairs joined by "&", beginning with the
// flags and the transaction code; each value goes through QueryValue (so a value
// holding "&" cannot end its pair early) and everything else is verbatim.
#include <QString>
#include <initializer_list>

// Formats a module's own query literal: each "%s" in order is replaced by the
// next value passed through QueryValue. Extra "%s" read as empty values.
QString FormatQuery(const QString& format, std::initializer_list<QString> values);

// Loans
QString BuildQueryA003(const QString& userId);
QString BuildQueryL001(const QString& userId);
QString BuildQueryL002(const QString& userId, const QString& loanAccNo);
QString BuildQueryL007(const QString& userId, const QString& loanAccNo);
QString BuildQueryL003(const QString& userId, const QString& loanAccNo, const QString& sdate);
QString BuildQueryL004(const QString& userId, const QString& outAccNo, const QString& outAccPwd,
                       const QString& tryCnt, const QString& loanAccNo, const QString& sdate,
                       const QString& scrtyWay, const QString& randomNum, const QString& secPwd,
                       const QString& signedMsg);
QString BuildQueryL005(const QString& userId);
QString BuildQueryL006(const QString& userId, const QString& accNo);

// Cards
QString BuildQueryC001(const QString& userId, const QString& relayDataYN, const QString& bankGubun);
QString BuildQueryC002(const QString& userId, const QString& cardNo, const QString& cardPwd,
                       const QString& sdate, const QString& edate, const QString& conKey);
QString BuildQueryC003(const QString& userId, const QString& cardNo, const QString& cardPwd,
                       const QString& sdate);
QString BuildQueryC004(const QString& userId, const QString& cardNo, const QString& cardPwd,
                       const QString& sdate, const QString& conKey);
QString BuildQueryC005(const QString& userId, const QString& cardNo, const QString& cardPwd);
QString BuildQueryC006(const QString& userId, const QString& cardNo, const QString& cardPwd);
QString BuildQueryC007(const QString& userId, const QString& cardNo, const QString& cardPwd,
                       const QString& cash, const QString& zentab, const QString& ipAccNo);
QString BuildQueryC008(const QString& userId, const QString& cardNo, const QString& cardPwd,
                       const QString& cash, const QString& zentab, const QString& ipAccNo,
                       const QString& scrtyWay, const QString& randomNum, const QString& secPwd,
                       const QString& signedMsg);

// Loss reports
QString BuildQueryR001(const QString& userId);
QString BuildQueryR002(const QString& userId, const QString& acctNo, const QString& acctPwd);
QString BuildQueryR003(const QString& userId);
QString BuildQueryR004(const QString& userId, const QString& cardData);
QString BuildQueryR005(const QString& userId, const QString& cardCmp);
QString BuildQueryR006(const QString& userId, const QString& cardData);

// Open path (unencrypted servlet): base is the "/TvPdaNoEnc" servlet URL.
QString BuildQueryU003(const QString& base, const QString& num);
QString BuildQueryU004(const QString& base, const QString& num);
QString BuildQueryT003(const QString& base);
