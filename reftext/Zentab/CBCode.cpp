#include "CBCode.h"

#include "ResourceText.h"

CBCode::CBCode() = default;
CBCode::CBCode(const CBCode&) = default;
CBCode& CBCode::operator=(const CBCode&) = default;
CBCode::~CBCode() = default;

QString CBCode::GetZentab() const
{
    return reftext::loadResourceText(QStringLiteral(":/reftext/Zentab/TEXT/129"));
}
