#include "CIBInfo.h"

#include "ResourceText.h"

CIBInfo::CIBInfo() = default;
CIBInfo::CIBInfo(const CIBInfo&) = default;
CIBInfo& CIBInfo::operator=(const CIBInfo&) = default;
CIBInfo::~CIBInfo() = default;

QString CIBInfo::GetPelvro() const
{
    return reftext::loadResourceText(QStringLiteral(":/reftext/Pelvro/TEXT/129"));
}
