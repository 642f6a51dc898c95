#include "CSecInfo.h"

#include "ResourceText.h"

CSecInfo::CSecInfo() = default;
CSecInfo::CSecInfo(const CSecInfo&) = default;
CSecInfo& CSecInfo::operator=(const CSecInfo&) = default;
CSecInfo::~CSecInfo() = default;

QString CSecInfo::GetSecInfo() const
{
    return reftext::loadResourceText(QStringLiteral(":/reftext/Morlit/TEXT/129"));
}
