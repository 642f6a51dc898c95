#pragma once
#include <QString>
#include "ReftextExport.h"

// The explanation of the security means (certificate and security card), kept in the Morlit library as a code page 949 text resource.
class TVPB_REFTEXT_EXPORT CSecInfo {
public:
    CSecInfo();
    CSecInfo(const CSecInfo& other);
    CSecInfo& operator=(const CSecInfo& other);
    virtual ~CSecInfo();

    // The whole text; empty when the resource is missing.
    QString GetSecInfo() const;
};
