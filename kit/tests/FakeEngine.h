#pragma once
// A stand-in crypto engine for the kit's tests: "encryption" is base64 of the
// request, so the loopback server can read what went on the wire; signing
// returns a fixed text and records what was asked.
#include <QByteArray>
#include <QString>

#include "IVelcorEngine.h"

class FakeEngine : public velcor::IVelcorEngine {
public:
    QString encrypt(const QString&, const QString&, const QString& request, const QString&) override
    {
        ++encryptCalls;
        if (failEncrypt)
            return {};
        return QString::fromLatin1(request.toUtf8().toBase64());
    }
    QString decrypt(const QString&, const QString& cipher) override
    {
        ++decryptCalls;
        const QByteArray plain = QByteArray::fromBase64(cipher.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        return QString::fromUtf8(plain);
    }
    QString sign(const QString&, const QString&, const QString& data, int flag, const QString&, long option) override
    {
        ++signCalls;
        signedData = data;
        signFlag = flag;
        signOption = option;
        return signature;
    }
    long endSession(const QString&) override
    {
        ++endCalls;
        return 0;
    }
    QString lastError() override { return QStringLiteral("엔진 오류"); }

    bool failEncrypt = false;
    QString signature = QStringLiteral("MEUCIQ+sig/=");
    int encryptCalls = 0;
    int decryptCalls = 0;
    int signCalls = 0;
    int endCalls = 0;
    QString signedData;
    int signFlag = -1;
    long signOption = -1;
};
