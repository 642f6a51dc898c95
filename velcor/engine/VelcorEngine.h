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
    // Also takes the "Clock:" line of a refusal for the request's time: when it
    // authenticates for the last request of the gate address, requests are
    // sealed with the gateway's time from then on; the result is empty (the
    // request was not answered and must be sent again).
    QString decrypt(const QString& gateAddress, const QString& cipher) override;
    QString sign(const QString& gateAddress, const QString& caList, const QString& data, int flag,
                 const QString& reserved, long option) override;
    // A gateway that answers that the session is already over ("종료된 세션입니다",
    // "세션이 없습니다", e.g. after the bank restarted) has ended it: the keys are
    // dropped and the result is Ended, so the next request starts a new session.
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
    // A channel is sealed to the gateway key deploy.ini pinned when it was made.
    struct Channel {
        QString gatewayKey;
        std::shared_ptr<ClientChannel> channel;
    };
    std::map<QString, Channel> m_channels;
    QString m_lastError;
    // Seconds the gateway's clock is ahead of the system clock (one engine
    // speaks to one bank); every channel seals with it.
    std::int64_t m_clockOffset = 0;
};

} // namespace velcor
