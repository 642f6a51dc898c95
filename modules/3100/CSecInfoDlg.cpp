#include "CSecInfoDlg.h"

#include "Modal.h"
#include "SecInfoFrame.h"

CSecInfoDlg::CSecInfoDlg(QWidget* parent) : platform::DialogBase(parent)
{
    setObjectName(QStringLiteral("CSecInfoDlg"));
    text_ = secinfo::BuildGuide(this, QStringLiteral("보안카드안내"), QStringLiteral("보안카드 안내"));
}

CSecInfoDlg::~CSecInfoDlg() = default;

int CSecInfoDlg::DoModal()
{
    return doModal() == QDialog::Accepted ? platform::IDOK : platform::IDCANCEL;
}
