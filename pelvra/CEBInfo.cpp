#include "CEBInfo.h"

#include "ResourceText.h"

CEBInfo::CEBInfo() = default;
CEBInfo::CEBInfo(const CEBInfo&) = default;
CEBInfo& CEBInfo::operator=(const CEBInfo&) = default;
CEBInfo::~CEBInfo() = default;

QString CEBInfo::GetPelvra() const
{
    return reftext::loadResourceText(QStringLiteral(":/reftext/Pelvra/TEXT/129"));
}
