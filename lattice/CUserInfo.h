#pragma once
#include <QString>
#include "LatticeExport.h"

// The logged-in user's record. The shell creates the one instance and hands it to
// every module; the login fills it, the service screens read it.
class LATTICE_EXPORT CUserInfo {
public:
    CUserInfo();
    virtual ~CUserInfo();

    void SetUserID(const QString& value);
    void SetUserName(const QString& value);
    void SetJuminNo(const QString& value);
    // "S" security card, "K" certificate.
    void SetSecurityWay(const QString& value);
    void SetUseHiddenAcc(const QString& value);

    QString GetUserID() const;
    QString GetUserName() const;
    QString GetJuminNo() const;
    QString GetSecurityWay() const;
    QString GetUseHiddenAcc() const;

    // Forgets every value (log-out).
    void Clear();

private:
    QString userId_;
    QString userName_;
    QString juminNo_;
    QString securityWay_;
    QString useHiddenAcc_;
};
