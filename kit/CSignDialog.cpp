#include "CSignDialog.h"

#include "CQV.h"
#include "Modal.h"

CSignDialog::CSignDialog(CQV* session, QWidget* parent) : platform::DialogBase(parent), session_(session)
{
    setObjectName(QStringLiteral("CSignDialog"));
}

CSignDialog::~CSignDialog() = default;

int CSignDialog::DoModal()
{
    // The dialog itself shows nothing; the session's own prompts are the modals.
    signedMsg_ = session_ ? session_->XSignData(QStringLiteral("1"), 0, 3) : QString();
    return signedMsg_.isEmpty() ? platform::IDCANCEL : platform::IDOK;
}
