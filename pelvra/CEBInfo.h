#pragma once
#include <QString>
#include "ReftextExport.h"

// The electronic-banking terms, kept in the Pelvra library as a code page 949
// text resource.
class TVPB_REFTEXT_EXPORT CEBInfo {
public:
    CEBInfo();
    CEBInfo(const CEBInfo& other);
    CEBInfo& operator=(const CEBInfo& other);
    virtual ~CEBInfo();

    // The whole text; empty when the resource is missing.
    QString GetPelvra() const;
};
