#pragma once
// The simulated phone book: the dial-up backend of a machine without a wireless
// modem. It reads $TVPB_HOME/rasbook.ini (UTF-8) at every call:
//
//   [device:AnyCell CDMA Modem]        one section per RAS device
//   type=modem                         device type (default "modem")
//
//   [entry:SKT 무선모뎀]                one section per phone-book entry, in order
//   device=AnyCell CDMA Modem          the device it dials through; a name that is
//                                      not in the book fails with 608 at the first state
//   outcome=connect                    connect | fail | disconnect | noanswer
//   delay=3000                         ms from the dial to the last scripted state;
//                                      the states before it are spread evenly
//   at=connectdevice                   fail/disconnect: the state where it happens
//   error=678                          fail: the error code reported there
//   user=0101234567@realm              optional: the account name the far end
//   password=4567                      requires; any other fails with 691 at "authenticate"
//   drop=5000                          optional: ms after "connected" when the line drops
//   hangup_error=0                     optional: error returned by a hang-up
//
// State names for "at": openport, portopened, connectdevice, deviceconnected,
// alldevicesconnected, authenticate, authnotify, authenticated.
//
// Time is the platform clock (tickCount), so an injected clock drives the script.
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include "RasService.h"

class QTimer;

namespace platform {

class TVPB_PLATFORM_EXPORT RasBook : public QObject, public RasBackend {
    Q_OBJECT
public:
    RasBook();
    ~RasBook() override;

    // $TVPB_HOME/rasbook.ini
    static QString filePath();

    QStringList entryNames() override;
    bool entryExists(const QString& name) override;
    QList<RasDevice> devices() override;
    int dial(const RasDialParams& params, QObject* notify, RasConn* conn) override;
    int connectionStatus(RasConn conn, RasConnStatus* status) override;
    int hangUp(RasConn conn) override;

    // Delivers every scripted state that is due by the platform clock. Runs on a
    // short timer while a dial is in progress; callable directly.
    void poll();

private:
    struct Step {
        qint64 due;
        RasConnState state;
        int error;
    };
    struct Connection {
        QPointer<QObject> notify;
        QList<Step> steps; // still to deliver
        RasConnStatus status;
        qint64 dropAfter = -1; // ms after "connected", -1 never
        qint64 connectedAt = -1;
        int hangupError = 0;
    };

    void ensureTimer();

    QHash<RasConn, Connection> conns_;
    RasConn nextConn_ = 1;
    QTimer* timer_ = nullptr;
};

} // namespace platform
