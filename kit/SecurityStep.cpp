#include "SecurityStep.h"

#include "CNumberKbd.h"
#include "CSignDialog.h"
#include "KitPrompts.h"
#include "Modal.h"
#include "Services.h"

SecurityStep::SecurityStep(QWidget* window, CQV* session)
    : window_(window), session_(session), cardPrompt_(QString::fromUtf16(kit::kCardPrompt))
{
}

SecurityStep::Result SecurityStep::Run(const QString& securityWay, SecurityFields& out)
{
    out = SecurityFields();
    out.scrtyWay = securityWay;
    if (securityWay == QLatin1String("S")) {
        const int cell = platform::randomInt(kFirstCell, kLastCell);
        CNumberKbd keypad(window_);
        keypad.SetWorkProp(cardPrompt_.arg(cell), CNumberKbd::KindSecret, 4);
        if (keypad.DoModal() != 1)
            return Cancelled;
        out.randomNum = QString::number(cell);
        out.secPwd = keypad.GetFormatedData(1);
        return Ok;
    }
    if (securityWay == QLatin1String("K")) {
        const int cell = cellForBoth_ ? platform::randomInt(kFirstCell, kLastCell) : 0;
        CSignDialog sign(session_, window_);
        if (sign.DoModal() != platform::IDOK)
            return Cancelled;
        out.signedMsg = sign.GetSignedMsg();
        if (cellForBoth_)
            out.randomNum = QString::number(cell);
        return Ok;
    }
    ShowMsg(window_, QString::fromUtf16(kit::kUnknownSecurityMeans), false);
    return Refused;
}
