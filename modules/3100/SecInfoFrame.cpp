#include "SecInfoFrame.h"

#include <QDialog>
#include <QPlainTextEdit>

#include "CBmpButton.h"
#include "CSecInfo.h"
#include "KitGrid.h"

namespace secinfo {

QPlainTextEdit* BuildGuide(QDialog* dialog, const QString& caption, const QString& title)
{
    dialog->setWindowTitle(caption);
    kit::AddDialogTitle(dialog, title, QStringLiteral("guideTitle"));
    auto* text = new QPlainTextEdit(dialog);
    text->setObjectName(QStringLiteral("guideText"));
    text->setReadOnly(true);
    text->setGeometry(4, 30, 232, 226);
    text->setPlainText(CSecInfo().GetSecInfo());
    auto* close = new CBmpButton(dialog);
    close->setObjectName(QStringLiteral("btnClose"));
    close->LoadBitmap(QStringLiteral("BMP\\닫기_4524.bmp"), QStringLiteral("BMP\\닫기_4524_d.bmp"), QString());
    close->setGeometry(97, 264, 45, 24);
    QObject::connect(close, &QAbstractButton::clicked, dialog, &QDialog::accept);
    return text;
}

} // namespace secinfo
