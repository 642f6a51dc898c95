#include "CNoticeDetailDlg.h"

#include <QPlainTextEdit>

#include "CBmpButton.h"
#include "KitGrid.h"
#include "Modal.h"
#include "NoticeRecords.h"

CNoticeDetailDlg::CNoticeDetailDlg(QWidget* parent, const QString& text, const QString& caption)
    : platform::DialogBase(parent)
{
    setObjectName(QStringLiteral("CNoticeDetailDlg"));
    setWindowTitle(caption);
    kit::AddDialogTitle(this, QStringLiteral("공지사항상세"), QStringLiteral("detailTitle"));

    // Plain text only: the notice came over the unencrypted path, so nothing in
    // it may turn into markup, links or images.
    text_ = new QPlainTextEdit(this);
    text_->setObjectName(QStringLiteral("noticeText"));
    text_->setReadOnly(true);
    text_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    text_->setGeometry(3, 28, 234, 232);
    text_->setPlainText(kit::NoticeDisplayText(text));

    auto* close = new CBmpButton(this);
    close->setObjectName(QStringLiteral("btnClose"));
    close->LoadBitmap(QStringLiteral("BMP\\닫기_4524.bmp"), QStringLiteral("BMP\\닫기_4524_d.bmp"), QString());
    close->setGeometry(97, 265, 45, 24);
    connect(close, &QAbstractButton::clicked, this, &QDialog::accept);
}

CNoticeDetailDlg::~CNoticeDetailDlg() = default;

int CNoticeDetailDlg::DoModal()
{
    return doModal() == QDialog::Accepted ? platform::IDOK : platform::IDCANCEL;
}

QString CNoticeDetailDlg::ShownText() const
{
    return text_->toPlainText();
}
