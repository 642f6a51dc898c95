#pragma once
// A scripted Velcor engine for the unit tests of CQV and CQVParser: it records
// every call and answers what the test set. The real engine is used by the
// integration tests.
#include <QString>
#include <QStringList>

#include <functional>

#include "IVelcorEngine.h"

namespace transporttest {

class FakeEngine : public velcor::IVelcorEngine {
public:
    struct Call {
        QString op;
        QStringList args;
        int flag = 0;
        long option = 0;
    };

    QString encrypt(const QString& gateAddress, const QString& enginePath, const QString& request,
                    const QString& method) override
    {
        calls.push_back({QStringLiteral("encrypt"), {gateAddress, enginePath, request, method}});
        if (duringCall)
            duringCall();
        if (throwOnCall)
            throw 42;
        return cipher;
    }
    QString decrypt(const QString& gateAddress, const QString& cipherText) override
    {
        calls.push_back({QStringLiteral("decrypt"), {gateAddress, cipherText}});
        if (duringCall)
            duringCall();
        if (throwOnCall)
            throw 42;
        return plain;
    }
    QString sign(const QString& gateAddress, const QString& caList, const QString& data, int flag,
                 const QString& reserved, long option) override
    {
        calls.push_back({QStringLiteral("sign"), {gateAddress, caList, data, reserved}, flag, option});
        if (duringCall)
            duringCall();
        if (throwOnCall)
            throw 42;
        return signature;
    }
    long endSession(const QString& gateAddress) override
    {
        calls.push_back({QStringLiteral("endSession"), {gateAddress}});
        return endStatus;
    }
    QString lastError() override
    {
        calls.push_back({QStringLiteral("lastError"), {}});
        return error;
    }

    int count(const QString& op) const
    {
        int n = 0;
        for (const Call& c : calls)
            n += c.op == op ? 1 : 0;
        return n;
    }

    QString cipher = QStringLiteral("CIPHER");
    QString plain;
    QString signature;
    QString error;
    long endStatus = 0;
    bool throwOnCall = false;
    std::function<void()> duringCall;
    std::vector<Call> calls;
};

} // namespace transporttest
