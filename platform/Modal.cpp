// Message boxes and modal dialogs, with a seam where tests answer them.
#include "Modal.h"

#include "DeviceFrame.h"
#include "DialogBase.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QPointer>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

#include <algorithm>

namespace platform {
namespace {

ModalHandler& handler()
{
    static ModalHandler h;
    return h;
}

constexpr unsigned kButtonMask = 0xF;
constexpr unsigned kIconMask = 0xF0;
constexpr unsigned kDefButtonMask = 0xF00;

QMessageBox::Icon iconOf(unsigned flags)
{
    switch (flags & kIconMask) {
    case MB_ICONERROR: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONWARNING: return QMessageBox::Warning;
    case MB_ICONINFORMATION: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

// The buttons of the box in their order on the original platform.
QList<QMessageBox::StandardButton> buttonsOf(unsigned flags)
{
    switch (flags & kButtonMask) {
    case MB_OKCANCEL: return {QMessageBox::Ok, QMessageBox::Cancel};
    case MB_YESNOCANCEL: return {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
    case MB_YESNO: return {QMessageBox::Yes, QMessageBox::No};
    default: return {QMessageBox::Ok};
    }
}

int resultOf(QMessageBox::StandardButton b)
{
    switch (b) {
    case QMessageBox::Ok: return IDOK;
    case QMessageBox::Cancel: return IDCANCEL;
    case QMessageBox::Yes: return IDYES;
    case QMessageBox::No: return IDNO;
    default: return IDCANCEL;
    }
}

// Qt's Korean texts carry a mnemonic suffix ("예(&Y)"); the handheld shows the word alone.
QString plainButtonText(QString text)
{
    static const QRegularExpression mnemonicSuffix(QStringLiteral("\\(&.\\)$"));
    text.remove(mnemonicSuffix);
    text.remove(QLatin1Char('&'));
    return text.trimmed();
}

// Keeps the box centred over the frame when it settles its size on showing and,
// for a Yes/No box, keeps it open on Escape and on a close request (Qt would
// otherwise pick "No" as its escape answer).
class BoxGuard : public QObject {
public:
    bool noEscape = false;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (e->type() == QEvent::Resize || e->type() == QEvent::Show) {
            centreOverFrame(static_cast<QWidget*>(watched));
            return false;
        }
        if (!noEscape)
            return false;
        if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape)
            return true;
        if (e->type() == QEvent::Close) {
            e->ignore();
            return true;
        }
        return false;
    }
};

// Breaks a text into lines no wider than `width`: at blanks where possible,
// anywhere inside a word that is too long by itself (Hangul breaks anywhere).
QString wrapText(const QString& text, const QFontMetrics& fm, int width)
{
    QStringList out;
    const QStringList lines = QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        QString current;
        const QStringList words = line.split(QLatin1Char(' '));
        for (qsizetype i = 0; i < words.size(); ++i) {
            QString word = words[i];
            const QString candidate = current.isEmpty() ? word : current + QLatin1Char(' ') + word;
            if (fm.horizontalAdvance(candidate) <= width) {
                current = candidate;
                continue;
            }
            if (!current.isEmpty()) {
                out << current;
                current.clear();
            }
            while (fm.horizontalAdvance(word) > width && word.size() > 1) {
                qsizetype n = word.size() - 1;
                while (n > 1 && fm.horizontalAdvance(word.left(n)) > width)
                    --n;
                out << word.left(n);
                word = word.mid(n);
            }
            current = word;
        }
        out << current;
    }
    return out.join(QLatin1Char('\n'));
}

// Qt sizes a box for a desktop screen, and on a narrow screen its own word wrap
// squeezes the text into half the screen's width (it re-applies that whenever the
// box lays itself out). On the handheld a box is as wide as the screen at most:
// the text is broken here into lines that fill that width, and shown as lines that
// Qt's wrap cannot break again.
void fitToScreen(QMessageBox& box)
{
    auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    if (!label)
        return;
    int iconWidth = 0;
    if (auto* icon = box.findChild<QLabel*>(QStringLiteral("qt_msgboxex_icon_label")))
        if (!icon->pixmap().isNull())
            iconWidth = icon->pixmap().deviceIndependentSize().toSize().width() + 12;
    // Box margins and frame on both sides.
    const int width = std::max(kScreenWidth - 36 - iconWidth, 60);
    const QString lines = wrapText(box.text(), label->fontMetrics(), width);
    label->setTextFormat(Qt::RichText);
    label->setText(QStringLiteral("<div style=\"white-space:pre\">%1</div>")
                       .arg(lines.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>"))));
}

} // namespace

void setModalHandler(ModalHandler h)
{
    handler() = std::move(h);
}

ModalHandler modalHandler()
{
    return handler();
}

bool hasModalHandler()
{
    return static_cast<bool>(handler());
}

int messageBox(QWidget* parent, const QString& text, const QString& caption, unsigned flags)
{
    QString title = caption;
    if (title.isEmpty())
        title = QGuiApplication::applicationDisplayName();
    QMessageBox box(iconOf(flags), title, text, QMessageBox::NoButton, parent);
    box.setObjectName(QStringLiteral("platformMessageBox"));
    // The text as given (the box's own text may be wrapped to fit the screen).
    box.setProperty("tvpbText", text);
    const auto buttons = buttonsOf(flags);
    for (auto b : buttons) {
        QPushButton* button = box.addButton(b);
        button->setText(plainButtonText(button->text()));
    }
    qsizetype defIndex = 0;
    if ((flags & kDefButtonMask) == MB_DEFBUTTON2)
        defIndex = 1;
    else if ((flags & kDefButtonMask) == MB_DEFBUTTON3)
        defIndex = 2;
    if (defIndex >= buttons.size())
        defIndex = 0;
    box.setDefaultButton(buttons[defIndex]);
    // Escape answers like the original's close box: Cancel where there is one,
    // otherwise the only button of an OK box; a Yes/No box cannot be escaped.
    if (buttons.contains(QMessageBox::Cancel))
        box.setEscapeButton(QMessageBox::Cancel);
    else if (buttons.size() == 1)
        box.setEscapeButton(QMessageBox::Ok);
    BoxGuard guard;
    guard.noEscape = !box.escapeButton();
    box.ensurePolished();
    fitToScreen(box);
    box.adjustSize();
    centreOverFrame(&box);
    box.installEventFilter(&guard);

    if (ModalHandler h = handler()) {
        box.show();
        ModalRequest req;
        req.kind = ModalRequest::MessageBox;
        req.text = text;
        req.caption = caption;
        req.flags = flags;
        req.box = &box;
        const int answer = h(req);
        box.hide();
        return answer;
    }

    box.exec();
    if (QAbstractButton* clicked = box.clickedButton())
        return resultOf(box.standardButton(clicked));
    // Closed some other way: as its escape answer would.
    if (buttons.contains(QMessageBox::Cancel))
        return IDCANCEL;
    return buttons.size() == 1 ? IDOK : IDNO;
}

int execModal(QDialog* dialog)
{
    if (!dialog)
        return QDialog::Rejected;
    ModalHandler h = handler();
    if (!h)
        return dialog->exec();

    // The handler sees the dialog as a user would: built, placed and shown.
    dialog->setResult(0);
    dialog->show();
    // A dialog whose close was asked for while it was being built ends at once,
    // as its real modal loop would.
    if (auto* base = qobject_cast<DialogBase*>(dialog); base && base->CloseAskedEarly()) {
        const int result = base->EarlyCloseResult();
        base->done(result);
        return result;
    }
    ModalRequest req;
    req.kind = ModalRequest::Dialog;
    req.text = dialog->windowTitle();
    req.caption = dialog->windowTitle();
    req.dialog = dialog;
    QPointer<QDialog> guard(dialog);
    const int answer = h(req);
    // A handler that closed the dialog through its own buttons has left its
    // result in place; otherwise the dialog ends with the handler's answer.
    if (guard && !guard->isHidden())
        guard->done(answer);
    return answer;
}

} // namespace platform
