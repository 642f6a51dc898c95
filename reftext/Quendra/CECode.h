#pragma once
#include <QString>
#include "ReftextExport.h"

// The occupation and industry code table (code, tab, name per line), kept in the Quendra library as a code page 949 text resource.
class TVPB_REFTEXT_EXPORT CECode {
public:
    CECode();
    CECode(const CECode& other);
    CECode& operator=(const CECode& other);
    virtual ~CECode();

    // The whole text; empty when the resource is missing.
    QString GetQuendra() const;
};
