// The Velcor engine's reply decryption on hostile replies: raw texts (which
// must never open), and replies a real gateway sealed around hostile envelope
// bytes (which must open exactly once, to exactly those bytes, and not at all
// once tampered with or when they answer another request), and the clock
// notices of a gateway whose time differs.
#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QString>

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

#include "FuzzHome.h"
#include "FuzzInput.h"
#include "Gateway.h"
#include "GatewayFixture.h"
#include "IVelcorEngine.h"

namespace {

enum Op : std::uint8_t { Raw, Sealed, Tampered, Stale, ClockNotice, OpCount };

const QString kGate = QStringLiteral("127.0.0.1:7443:7443");

velcor::Gateway& gateway()
{
    static velcor::Gateway g(fuzz::gatewayKeys());
    return g;
}

velcor::IVelcorEngine& engine()
{
    static velcor::IVelcorEngine* e = velcor_engine_instance();
    return *e;
}

// A request of the engine, opened at the gateway; nothing when either refused it.
std::optional<velcor::OpenedRequest> request(bool pathOn, std::string_view text)
{
    const QString cipher = engine().encrypt(kGate, pathOn ? QStringLiteral("/on") : QStringLiteral("/off"),
                                            QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())),
                                            QStringLiteral("GET"));
    if (cipher.isEmpty())
        return std::nullopt;
    const velcor::OpenResult r = gateway().open(cipher.toStdString());
    fuzz::check(r.ok, "the gateway refused the engine's own request");
    fuzz::check(r.opened.pathOn == pathOn, "the engine path changed on the way");
    return r.opened;
}

QString decrypt(const std::string& reply)
{
    return engine().decrypt(kGate, QString::fromLatin1(reply.data(), static_cast<qsizetype>(reply.size())));
}

// The clock notice with which `gateway` refuses the engine's next request,
// which must be refused for its time.
std::string noticeFrom(velcor::Gateway& g)
{
    const QString cipher = engine().encrypt(kGate, QStringLiteral("/on"), QStringLiteral("trcode=PDA_T003"),
                                            QStringLiteral("GET"));
    const velcor::OpenResult r = g.open(cipher.toStdString());
    fuzz::check(!r.ok && !r.clockNotice.empty(), "a request out of the window without a clock notice");
    return std::string(velcor::protocol::kClockPrefix) + r.clockNotice;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication app(*argc, *argv);
    const std::string deploy = fuzz::scratchFolder("engine") + "/deploy.ini";
    QFile f(QString::fromStdString(deploy));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    f.write("[bank]\nserver_host=127.0.0.1:9\ngateway_public_key=" +
            QByteArray::fromStdString(gateway().publicKeyBase64()) + "\n");
    f.close();
    qputenv("TVPB_DEPLOY", QByteArray::fromStdString(deploy));
    qputenv("TVPB_HOME", QByteArray::fromStdString(fuzz::scratchFolder("engine")));
    return 0;
}

// Input: op byte, flags byte, position byte (Tampered), request record, then the reply bytes (Raw) or
// the envelope to seal (the other ops).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Reader in(data, size);
    const std::uint8_t op = in.byte() % OpCount;
    const std::uint8_t flags = in.byte();
    const std::uint8_t where = in.byte();
    const std::string_view requestText = in.chunk();
    const std::string_view body = in.rest();

    const auto opened = request(flags & 1, requestText);
    if (!opened)
        return 0;
    const QString expected = QString::fromUtf8(body.data(), static_cast<qsizetype>(body.size()));

    switch (op) {
    case Raw:
        // Nobody but the gateway can make a reply that opens.
        fuzz::check(decrypt(std::string(body)).isEmpty(), "a forged reply opened");
        fuzz::check(!engine().lastError().isEmpty(), "a refusal without a reason");
        break;
    case Sealed: {
        const std::string reply = gateway().seal(*opened, body);
        const QString plain = decrypt((flags & 2) ? " " + reply + "\r\n" : reply);
        if (!body.empty())
            fuzz::check(plain == expected, "a sealed reply opened to something else");
        fuzz::check(decrypt(reply).isEmpty(), "a reply opened twice");
        break;
    }
    case Tampered: {
        velcor::codec::Bytes box;
        const std::string reply = gateway().seal(*opened, body);
        fuzz::check(velcor::codec::fromBase64(reply, box) && !box.empty(), "a sealed reply that is not base64");
        box[(std::size_t{flags} << 8 | where) % box.size()] ^= static_cast<unsigned char>((flags >> 1) | 1);
        fuzz::check(decrypt(velcor::codec::toBase64(box)).isEmpty(), "a tampered reply opened");
        break;
    }
    case ClockNotice: {
        // A gateway whose clock is off by more than its window: the engine
        // takes the time from its notice, and its next request passes there;
        // the notice of the real gateway then sets the engine right again.
        // Well past the 300-second window: the engine's correction is whole
        // seconds, so a skew at the window's edge may or may not be refused.
        const std::int64_t skew = (std::int64_t{where} + 310) * ((flags & 2) ? -1 : 1) * ((flags & 4) ? 1000 : 1);
        velcor::Gateway skewed(fuzz::gatewayKeys());
        skewed.setWallClock([skew] { return std::time(nullptr) + skew; });
        fuzz::check(decrypt(noticeFrom(skewed)).isEmpty(), "a clock notice read as a reply");
        const QString cipher = engine().encrypt(kGate, QStringLiteral("/off"), expected, QStringLiteral("GET"));
        fuzz::check(skewed.open(cipher.toStdString()).ok, "the engine did not take the gateway's time");
        fuzz::check(decrypt(noticeFrom(gateway())).isEmpty(), "a clock notice read as a reply");
        break;
    }
    case Stale: {
        // The reply to an earlier request does not open for the next one.
        const std::string reply = gateway().seal(*opened, body);
        if (!request(flags & 1, requestText))
            return 0;
        fuzz::check(decrypt(reply).isEmpty(), "a reply opened for another request");
        break;
    }
    }
    return 0;
}
