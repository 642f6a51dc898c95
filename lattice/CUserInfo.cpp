#include "CUserInfo.h"

CUserInfo::CUserInfo() = default;
CUserInfo::~CUserInfo() = default;

void CUserInfo::SetUserID(const QString& value) { userId_ = value; }
void CUserInfo::SetUserName(const QString& value) { userName_ = value; }
void CUserInfo::SetJuminNo(const QString& value) { juminNo_ = value; }
void CUserInfo::SetSecurityWay(const QString& value) { securityWay_ = value; }
void CUserInfo::SetUseHiddenAcc(const QString& value) { useHiddenAcc_ = value; }

QString CUserInfo::GetUserID() const { return userId_; }
QString CUserInfo::GetUserName() const { return userName_; }
QString CUserInfo::GetJuminNo() const { return juminNo_; }
QString CUserInfo::GetSecurityWay() const { return securityWay_; }
QString CUserInfo::GetUseHiddenAcc() const { return useHiddenAcc_; }

void CUserInfo::Clear()
{
    userId_.clear();
    userName_.clear();
    juminNo_.clear();
    securityWay_.clear();
    useHiddenAcc_.clear();
}
