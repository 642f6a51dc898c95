#pragma once
// The signing dialog of the security step: it has no controls of its own; it
// asks the session to sign the one-character text "1" (flag 0, option 3). How
// the certificate is chosen and unlocked is the session's business, through the
// platform's modal seam.
#include <QString>

#include "DialogBase.h"

class CQV;

class CSignDialog : public platform::DialogBase {
    Q_OBJECT
public:
    enum { IDD = 159 };
    CSignDialog(CQV* session, QWidget* parent = nullptr);
    ~CSignDialog() override;

    // Signs and returns IDOK with the signature, or IDCANCEL when the session
    // gave nothing (cancelled or failed).
    int DoModal();
    QString GetSignedMsg() const { return signedMsg_; }

private:
    CQV* session_;
    QString signedMsg_;
};
