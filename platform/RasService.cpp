#include "RasService.h"

#include "RasBook.h"

namespace platform {

namespace {

// Left alive at exit on purpose: the phone book owns a timer that must not be
// torn down after the application object is gone.
std::unique_ptr<RasBackend>& installed() {
    static auto* backend = new std::unique_ptr<RasBackend>;
    return *backend;
}

} // namespace

RasDialEvent::RasDialEvent(RasConn conn, RasConnState state, int error)
    : QEvent(kRasDialEvent), conn_(conn), state_(state), error_(error) {}

RasBackend::~RasBackend() = default;

RasBackend* RasService::backend() {
    auto& b = installed();
    if (!b)
        b = std::make_unique<RasBook>();
    return b.get();
}

void RasService::setBackend(std::unique_ptr<RasBackend> backend) {
    installed() = std::move(backend);
}

QStringList RasService::entryNames() {
    return backend()->entryNames();
}

bool RasService::entryExists(const QString& name) {
    return backend()->entryExists(name);
}

QList<RasDevice> RasService::devices() {
    return backend()->devices();
}

int RasService::dial(const RasDialParams& params, QObject* notify, RasConn* conn) {
    return backend()->dial(params, notify, conn);
}

int RasService::connectionStatus(RasConn conn, RasConnStatus* status) {
    if (conn == 0)
        return kRasErrorInvalidHandle;
    return backend()->connectionStatus(conn, status);
}

int RasService::hangUp(RasConn conn) {
    if (conn == 0)
        return kRasErrorInvalidHandle;
    return backend()->hangUp(conn);
}

} // namespace platform
