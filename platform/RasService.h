#pragma once
// The dial-up (remote access) service of the handheld: phone-book entries, modem
// devices, an asynchronous dial that reports every link state to a receiver,
// connection status and hang-up.
//
// The service forwards to a backend. The default backend is the simulated phone
// book $TVPB_HOME/rasbook.ini (see RasBook.h); a backend that drives a real modem
// can be installed with RasService::setBackend.
#include <QEvent>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include "PlatformExport.h"

class QObject;

namespace platform {

// Link states, numbered as the original platform numbers them.
enum class RasConnState : int {
    OpenPort = 0,
    PortOpened = 1,
    ConnectDevice = 2,
    DeviceConnected = 3,
    AllDevicesConnected = 4,
    Authenticate = 5,
    AuthNotify = 6,
    AuthRetry = 7,
    AuthCallback = 8,
    AuthChangePassword = 9,
    AuthProject = 10,
    AuthLinkSpeed = 11,
    AuthAck = 12,
    ReAuthenticate = 13,
    Authenticated = 14,
    PrepareForCallback = 15,
    WaitForModemReset = 16,
    WaitForCallback = 17,
    Projected = 18,
    Interactive = 0x1000,
    RetryAuthentication = 0x1001,
    CallbackSetByCaller = 0x1002,
    PasswordExpired = 0x1003,
    Connected = 0x2000,
    Disconnected = 0x2001,
};

// Error codes the service itself returns (the remote-access numbering).
inline constexpr int kRasErrorInvalidHandle = 6;
inline constexpr int kRasErrorPortAlreadyOpen = 602;
inline constexpr int kRasErrorDeviceDoesNotExist = 608;
inline constexpr int kRasErrorCannotFindPhonebookEntry = 623;
inline constexpr int kRasErrorAuthenticationFailure = 691;

// Handle of one dial; 0 is "no connection".
using RasConn = quint64;

struct RasDialParams {
    QString entryName;
    QString userName;
    QString password;
    QString domain;
};

struct RasDevice {
    QString name;
    QString type; // "modem", "direct", "vpn" ...
};

struct RasConnStatus {
    RasConnState state = RasConnState::Disconnected;
    int error = 0;
    QString deviceName;
    QString deviceType;
};

// One dial notification: the link reached `state`; a non-zero `error` means the
// dial failed there and no further notification follows. Posted to the receiver
// named at dial time, so it arrives in that receiver's event loop.
inline constexpr QEvent::Type kRasDialEvent = static_cast<QEvent::Type>(QEvent::User + 0xCCCD);

class TVPB_PLATFORM_EXPORT RasDialEvent : public QEvent {
public:
    RasDialEvent(RasConn conn, RasConnState state, int error);
    RasConn conn() const { return conn_; }
    RasConnState state() const { return state_; }
    int error() const { return error_; }

private:
    RasConn conn_;
    RasConnState state_;
    int error_;
};

// What a dial-up backend provides. Operations return 0 or a remote-access error code.
class TVPB_PLATFORM_EXPORT RasBackend {
public:
    virtual ~RasBackend();
    // Every entry of the phone book, in phone-book order, untrimmed.
    virtual QStringList entryNames() = 0;
    virtual bool entryExists(const QString& name) = 0;
    virtual QList<RasDevice> devices() = 0;
    // Starts a dial and returns at once. On success *conn holds the new handle and
    // the link states follow as RasDialEvent posts to `notify`. A non-zero result
    // means the dial did not start (no handle, no notifications).
    virtual int dial(const RasDialParams& params, QObject* notify, RasConn* conn) = 0;
    virtual int connectionStatus(RasConn conn, RasConnStatus* status) = 0;
    // Ends the dial or the connection; the handle is invalid afterwards.
    virtual int hangUp(RasConn conn) = 0;
};

class TVPB_PLATFORM_EXPORT RasService {
public:
    static QStringList entryNames();
    static bool entryExists(const QString& name);
    static QList<RasDevice> devices();
    static int dial(const RasDialParams& params, QObject* notify, RasConn* conn);
    static int connectionStatus(RasConn conn, RasConnStatus* status);
    static int hangUp(RasConn conn);

    // Installs another backend (a real modem, a test double); nullptr restores the
    // simulated phone book. Call from the UI thread while no dial is running.
    static void setBackend(std::unique_ptr<RasBackend> backend);
    static RasBackend* backend();
};

} // namespace platform
