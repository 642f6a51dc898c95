#pragma once
#include <QString>
#include "ReftextExport.h"

// The bank code table (code, tab, name per line), kept in the Zentab library as a code page 949 text resource.
class TVPB_REFTEXT_EXPORT CBCode {
public:
    CBCode();
    CBCode(const CBCode& other);
    CBCode& operator=(const CBCode& other);
    virtual ~CBCode();

    // The whole text; empty when the resource is missing.
    QString GetZentab() const;
};
