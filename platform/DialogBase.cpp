// Base of every screen and pop-up of the suite.
#include "DialogBase.h"

#include "DeviceFrame.h"
#include "KeyGuard.h"
#include "Modal.h"

#include <QKeyEvent>
#include <QShowEvent>

namespace platform {
namespace {

bool isEnterOrEscape(const QEvent* e)
{
    if (e->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<const QKeyEvent*>(e)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
}

} // namespace

DialogBase::DialogBase(QWidget* parent) : QDialog(parent)
{
    installKeyGuard();
}

DialogBase::~DialogBase() = default;

int DialogBase::doModal()
{
    return execModal(this);
}

void DialogBase::setVisible(bool visible)
{
    if (visible && !isVisible())
        placeOnWorkArea(this);
    QDialog::setVisible(visible);
    if (visible && closeAsked_ && isVisible()) {
        // Shown (exec shows before its loop starts): the loop ends on its first turn.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (!closeAsked_)
                    return;
                closeAsked_ = false;
                done(closeResult_);
            },
            Qt::QueuedConnection);
    }
}

void DialogBase::done(int result)
{
    if (!isVisible()) {
        closeAsked_ = true;
        closeResult_ = result;
    } else {
        closeAsked_ = false;
    }
    QDialog::done(result);
}

void DialogBase::keyPressEvent(QKeyEvent* e)
{
    // Enter and Escape neither close the dialog nor press its default button.
    if (isEnterOrEscape(e)) {
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

bool DialogBase::event(QEvent* e)
{
    if (isEnterOrEscape(e)) {
        e->accept();
        return true;
    }
    return QDialog::event(e);
}

void DialogBase::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    // Shown again over other screens: come to the front of the work area.
    if (!isWindow())
        raise();
}

} // namespace platform
