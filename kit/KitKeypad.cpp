#include "KitKeypad.h"

#include <QEvent>
#include <QFocusEvent>
#include <QLineEdit>

#include "CNumberKbd.h"

namespace kit {

std::optional<QString> KeypadText(QWidget* window, const QString& prompt, int kind, int maxLen)
{
    CNumberKbd keypad(window);
    keypad.SetWorkProp(prompt, kind, maxLen);
    if (keypad.DoModal() != 1)
        return std::nullopt;
    return keypad.GetFormatedData(1);
}

bool KeypadIntoField(QWidget* window, QLineEdit* edit, const QString& prompt, int kind, int maxLen, bool clearFirst)
{
    if (clearFirst)
        edit->clear();
    const std::optional<QString> text = KeypadText(window, prompt, kind, maxLen);
    if (!text)
        return false;
    edit->setText(*text);
    return true;
}

KeypadFields::KeypadFields(QWidget* page, QWidget* window) : QObject(page), page_(page), window_(window) {}

void KeypadFields::Add(QLineEdit* edit, const QString& prompt, int kind, int maxLen, bool clearFirst)
{
    fields_.append({edit, prompt, kind, maxLen, clearFirst});
    edit->installEventFilter(this);
}

bool KeypadFields::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::FocusIn || open_)
        return QObject::eventFilter(watched, event);
    // Focus that comes back with the window (after a pop-up) is no tap.
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
        return QObject::eventFilter(watched, event);
    for (const Field& f : fields_) {
        if (f.edit != watched)
            continue;
        open_ = true;
        KeypadIntoField(window_, f.edit, f.prompt, f.kind, f.maxLen, f.clearFirst);
        page_->setFocus(Qt::OtherFocusReason);
        open_ = false;
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace kit
