#include "EnrolFields.h"

#include <QLineEdit>

#include "CBmpButton.h"
#include "CColorStatic.h"

namespace enrol {

CColorStatic* Title(QWidget* dialog, const QString& text)
{
    auto* t = new CColorStatic(text, dialog);
    t->setObjectName(QStringLiteral("dialogTitle"));
    t->SetBkColor(RGB(128, 255, 255));
    t->SetAlignment(DT_CENTER | DT_VCENTER);
    t->setGeometry(0, 0, 240, 22);
    return t;
}

CColorStatic* Label(QWidget* dialog, const QString& text, int y)
{
    auto* l = new CColorStatic(text, dialog);
    l->SetBkColor(RGB(192, 255, 255));
    l->SetAlignment(DT_CENTER | DT_VCENTER);
    l->setGeometry(4, y, 84, 24);
    return l;
}

QLineEdit* Field(QWidget* dialog, const char* name, int y)
{
    auto* e = new QLineEdit(dialog);
    e->setObjectName(QLatin1String(name));
    e->setGeometry(92, y, 144, 24);
    return e;
}

CColorStatic* Hint(QWidget* dialog, const QString& text, int y)
{
    auto* h = new CColorStatic(text, dialog);
    h->SetAlignment(DT_RIGHT | DT_VCENTER);
    h->setGeometry(92, y, 144, 18);
    return h;
}

void Buttons(QWidget* dialog, std::function<void()> ok, std::function<void()> cancel)
{
    auto make = [&](const char* name, const QString& image, int x) {
        return CBmpButton::Create(dialog, name, image, x, 262);
    };
    QObject::connect(make("btnOk", QStringLiteral("확인_4524"), 70), &QAbstractButton::clicked, dialog, std::move(ok));
    QObject::connect(make("btnCancel", QStringLiteral("취소_4524"), 125), &QAbstractButton::clicked, dialog,
                     std::move(cancel));
}

void UpperCaseAsTyped(QLineEdit* edit)
{
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& text) {
        const QString upper = text.toUpper();
        if (upper != text) {
            edit->setText(upper);
            edit->setCursorPosition(upper.size());
        }
    });
}

} // namespace enrol
