#pragma once
// The Velcor engine: the client half of the secure channel behind the five
// operations HttpVelcor calls. One ClientChannel per gate address, made on
// first use against the gateway key pinned in deploy.ini.
#include <QString>

#include <map>
#include <memory>
#include <mutex>

#include "IVelcorEngine.h"

namespace velcor {

class ClientChannel;

class VelcorEngine : public IVelcorEngine {
public:
    VelcorEngine();
    ~VelcorEngine() override;

    QString encrypt(const QString& gateAddress, const QString& enginePath, const QString& request,
                    const QString& method) override;
    QString decrypt(const QString& gateAddress, const QString& cipher) override;
    QString sign(const QString& gateAddress, const QString& caList, const QString& data, int flag,
                 const QString& reserved, long option) override;
    long endSession(const QString& gateAddress) override;
    QString lastError() override;

    // Status codes of endSession.
    enum EndStatus : long { Ended = 0, NotSent = 1, Unreachable = 2, Refused = 3 };

private:
    // The channel of a gate address, made on first use; null with lastError set.
    std::shared_ptr<ClientChannel> channelFor(const QString& gateAddress, bool create);
    void fail(const QString& message);

    // Held for the whole of an operation on a channel (a channel is not
    // thread-safe); never while the signing prompt is up.
    std::mutex m_operation;
    // Guards the table and the last error.
    std::mutex m_mutex;
    std::map<QString, std::shared_ptr<ClientChannel>> m_channels;
    QString m_lastError;
};

} // namespace velcor
