#include "KitPrompts.h"

#include <QGuiApplication>

#include "Modal.h"
#include "Services.h"

void ShowMsg(QWidget* window, const QString& text, bool information)
{
    if (information)
        platform::messageBox(window, text, QString::fromUtf16(kit::kCaptionInfo),
                             platform::MB_OK | platform::MB_ICONINFORMATION);
    else
        platform::messageBox(window, text, QString::fromUtf16(kit::kCaptionError),
                             platform::MB_OK | platform::MB_ICONWARNING);
}

void ShowAlert(const QString& text, bool information)
{
    QString caption = QGuiApplication::applicationDisplayName();
    if (caption.isEmpty())
        caption = QStringLiteral("TavrinPdaBanking");
    platform::messageBox(nullptr, text, caption,
                         platform::MB_OK | (information ? platform::MB_ICONINFORMATION : platform::MB_ICONWARNING));
}

bool ConfirmExit(QWidget* window)
{
    return platform::messageBox(window, QString::fromUtf16(kit::kExitQuestion),
                                QString::fromUtf16(kit::kExitCaption),
                                platform::MB_YESNO | platform::MB_ICONQUESTION) == platform::IDYES;
}

void BeginWait() { platform::beginWait(); }

void EndWait(bool keepTaps) { platform::endWait(keepTaps); }
