#include "KitChecks.h"

#include <QDialog>
#include <QWidget>

#include "KitFields.h"
#include "KitPrompts.h"
#include "ModuleCodes.h"
#include "Modal.h"

namespace {

// A failed check: arrow cursor, warning, wait cursor again.
bool failWith(QWidget* window, const QString& text)
{
    EndWait(false);
    ShowMsg(window, text, false);
    BeginWait();
    return false;
}

} // namespace

bool CheckReply(QWidget* window, const QString& reply)
{
    if (reply.isEmpty()) {
        EndWait(false);
        ShowMsg(window, QString::fromUtf16(kit::kNullReply), false);
        return false;
    }
    if (reply.startsWith(QLatin1String("Error:"))) {
        EndWait(false);
        ShowMsg(window, reply, false);
        return false;
    }
    return true;
}

bool CheckEnvelope(QWidget* window, int* nextModule, const QString& reply, bool showSuccess)
{
    if (reply.isEmpty()) {
        EndWait(false);
        ShowMsg(window, QString::fromUtf16(kit::kNullReply), false);
        return false;
    }
    const qsizetype open = reply.indexOf(QLatin1String("<DataTag>"));
    if (open < 0)
        return failWith(window, QString::fromUtf16(kit::kBadReply));
    if (reply.indexOf(QLatin1String("</DataTag>"), open) < 0)
        return failWith(window, QString::fromUtf16(kit::kBadReply));
    const qsizetype msg = reply.indexOf(QLatin1String("<msg>"), open);
    if (msg < 0)
        return false;

    // "<msg>CODE;TEXT;": the code is the field up to the first ";".
    QString after = reply.mid(msg + 5);
    const std::optional<QString> code = DupField(after, u";");
    if (!code)
        return failWith(window, QString::fromUtf16(kit::kReplyFormat));
    const bool success = *code == QLatin1String("10000");
    if (success && !showSuccess)
        return true;

    // "CODE:TEXT": the ";" after the code becomes ":" and the field runs to the next ";".
    after[after.indexOf(QLatin1Char(';'))] = QLatin1Char(':');
    const std::optional<QString> shown = DupField(after, u";");
    if (!shown)
        return failWith(window, QString::fromUtf16(kit::kReplyFormat));

    if (success) {
        EndWait(false);
        ShowMsg(window, shown->mid(6), true);
        BeginWait();
        return true;
    }
    if (*code == QLatin1String("BIZ06")) {
        EndWait(false);
        ShowMsg(window, *shown, false);
        AskRelogin(window, nextModule);
        return false;
    }
    return failWith(window, *shown);
}

void AskRelogin(QWidget* window, int* nextModule)
{
    const int answer = platform::messageBox(window, QString::fromUtf16(kit::kReloginQuestion),
                                            QString::fromUtf16(kit::kReloginCaption),
                                            platform::MB_YESNO | platform::MB_ICONQUESTION);
    if (nextModule)
        *nextModule = answer == platform::IDYES ? kit::kModuleLogin : kit::kModuleQuit;
    if (!window)
        return;

    QWidget* top = window;
    while (top->parentWidget())
        top = top->parentWidget();
    if (top == window)
        return;

    // Walk up from the window: plain widgets (pages, panels) are passed over,
    // every pop-up (the open detail dialogs, then the module screen itself) is
    // closed. The walk ends with the module screen, or with the pop-up whose
    // parent is the top-most window (the shell), which is never closed.
    QWidget* w = window;
    while (w && w != top) {
        QWidget* parent = w->parentWidget();
        const bool moduleScreen = w->property("tvpbModuleScreen").toBool();
        if (auto* dialog = qobject_cast<QDialog*>(w))
            dialog->reject();
        else if (w->isWindow())
            w->close();
        if (moduleScreen || parent == top)
            break;
        w = parent;
    }
}
