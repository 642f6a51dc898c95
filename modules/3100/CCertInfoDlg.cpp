#include "CCertInfoDlg.h"

#include "Modal.h"
#include "SecInfoFrame.h"

CCertInfoDlg::CCertInfoDlg(QWidget* parent) : platform::DialogBase(parent)
{
    setObjectName(QStringLiteral("CCertInfoDlg"));
    text_ = secinfo::BuildGuide(this, QStringLiteral("공인인증서안내"), QStringLiteral("공인인증서 안내"));
}

CCertInfoDlg::~CCertInfoDlg() = default;

int CCertInfoDlg::DoModal()
{
    return doModal() == QDialog::Accepted ? platform::IDOK : platform::IDCANCEL;
}
