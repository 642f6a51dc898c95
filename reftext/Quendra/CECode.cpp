#include "CECode.h"

#include "ResourceText.h"

CECode::CECode() = default;
CECode::CECode(const CECode&) = default;
CECode& CECode::operator=(const CECode&) = default;
CECode::~CECode() = default;

QString CECode::GetQuendra() const
{
    return reftext::loadResourceText(QStringLiteral(":/reftext/Quendra/TEXT/129"));
}
