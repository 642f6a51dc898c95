// TVPB_VUP: brings the program files up to the bank's signed release, then
// starts the banking client. Arguments are passed on to the client.
#include <QApplication>

#include <CRasEx.h>
#include <DeviceFrame.h>
#include <Modal.h>
#include <Services.h>

#include "CUpgradeDlg.h"
#include "DialTexts.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TVPB_VUP"));
    platform::installKoreanTranslation(app);
    platform::applyDeviceFont(app);

    platform::DeviceFrame frame;
    frame.show();
    CRasEx ras;
    ras.SetProgressTexts(vup::DialTexts());
    vup::CUpgradeDlg upgrade(&ras, QApplication::arguments().mid(1), &frame);
    platform::execModal(&upgrade);
    return 0;
}
