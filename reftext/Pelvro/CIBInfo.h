#pragma once
#include <QString>
#include "ReftextExport.h"

// The internet-banking terms of use, kept in the Pelvro library as a code page 949 text resource.
class TVPB_REFTEXT_EXPORT CIBInfo {
public:
    CIBInfo();
    CIBInfo(const CIBInfo& other);
    CIBInfo& operator=(const CIBInfo& other);
    virtual ~CIBInfo();

    // The whole text; empty when the resource is missing.
    QString GetPelvro() const;
};
