#include "CExTabPage.h"

#include <QKeyEvent>

CExTabPage::CExTabPage(int nIDTemplate, QWidget* parent) : QWidget(parent), id_(nIDTemplate)
{
    setAutoFillBackground(true);
    if (id_ != 0)
        setObjectName(QStringLiteral("page%1").arg(id_));
}

CExTabPage::~CExTabPage() = default;

void CExTabPage::InitOnce()
{
    if (initialised_)
        return;
    initialised_ = true;
    OnInitDialog();
}

void CExTabPage::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        e->accept();
        return;
    default:
        QWidget::keyPressEvent(e);
    }
}
