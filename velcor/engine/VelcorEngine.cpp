#include "VelcorEngine.h"

#include <QApplication>

#include "ClientChannel.h"
#include "CodePage949.h"
#include "Deploy.h"
#include "EndSessionCall.h"
#include "EngineTexts.h"
#include "GatewayKeys.h"
#include "GatewayProtocol.h"
#include "Modal.h"
#include "Services.h"
#include "Signature.h"
#include "VelcorSignDialog.h"

namespace velcor {

namespace {
QString korean(const char* s) { return QString::fromUtf8(s); }
QString korean(const std::string& s) { return QString::fromStdString(s); }
// The gateway's answers that a session is over already.
constexpr const char* kGatewayEnded = "종료된 세션입니다";
constexpr const char* kGatewayNoSession = "세션이 없습니다";

// A refusal's text: code page 949 from bankd, UTF-8 accepted as well.
QString decodeRefusal(const std::string& bytes)
{
    const std::string text = cp949::isValidUtf8(bytes) ? bytes : cp949::toUtf8(bytes);
    return QString::fromStdString(text).section(QLatin1Char('\n'), 0, 0).trimmed();
}

std::string utf8(const QString& s)
{
    const QByteArray b = s.toUtf8();
    return std::string(b.constData(), static_cast<std::size_t>(b.size()));
}
} // namespace

VelcorEngine::VelcorEngine() = default;
VelcorEngine::~VelcorEngine() = default;

void VelcorEngine::fail(const QString& message)
{
    std::lock_guard lock(m_mutex);
    m_lastError = message;
}

std::shared_ptr<ClientChannel> VelcorEngine::channelFor(const QString& gateAddress, bool create)
{
    if (gateAddress.isEmpty()) {
        fail(korean(text::kNoGateAddress));
        return nullptr;
    }
    const QString pinned = platform::Deploy::gatewayPublicKey().trimmed();
    {
        std::lock_guard lock(m_mutex);
        auto it = m_channels.find(gateAddress);
        if (it != m_channels.end()) {
            if (it->second.gatewayKey == pinned)
                return it->second.channel;
            // deploy.ini now pins another key for this address (a new bank, or
            // its key replaced): that bank cannot read the old session, so a
            // new one starts.
            m_channels.erase(it);
        }
    }
    if (!create) {
        fail(korean(text::kNoSession));
        return nullptr;
    }
    if (pinned.isEmpty()) {
        fail(korean(text::kNoGatewayKey));
        return nullptr;
    }
    const auto key = decodeKey32(pinned.toStdString());
    if (!key) {
        fail(korean(text::kBadGatewayKey));
        return nullptr;
    }
    auto channel = std::make_shared<ClientChannel>(*key);
    if (!channel->valid()) {
        fail(korean(text::kBadGatewayKey));
        return nullptr;
    }
    std::lock_guard lock(m_mutex);
    channel->setClockOffset(m_clockOffset);
    return m_channels.insert_or_assign(gateAddress, Channel{pinned, std::move(channel)}).first->second.channel;
}

QString VelcorEngine::encrypt(const QString& gateAddress, const QString& enginePath, const QString& request,
                              const QString& /*method: the request method does not change the cipher*/)
{
    try {
        bool pathOn = false;
        if (enginePath == QLatin1String("/on"))
            pathOn = true;
        else if (enginePath != QLatin1String("/off")) {
            fail(korean(text::kBadEnginePath));
            return {};
        }
        std::lock_guard op(m_operation);
        const auto channel = channelFor(gateAddress, true);
        if (!channel)
            return {};
        std::string why;
        const std::string cipher = channel->sealRequest(pathOn, utf8(request), &why);
        if (cipher.empty()) {
            fail(korean(why));
            return {};
        }
        return QString::fromLatin1(cipher.data(), static_cast<qsizetype>(cipher.size()));
    } catch (...) {
        fail(korean(text::kInternal));
        return {};
    }
}

QString VelcorEngine::decrypt(const QString& gateAddress, const QString& cipher)
{
    try {
        std::lock_guard op(m_operation);
        const auto channel = channelFor(gateAddress, false);
        if (!channel)
            return {};
        // Base64 is ASCII; anything else makes the text fail to decode.
        const QByteArray ascii = cipher.trimmed().toLatin1();
        const QByteArray clockPrefix(protocol::kClockPrefix.data(), static_cast<qsizetype>(protocol::kClockPrefix.size()));
        if (ascii.startsWith(clockPrefix)) {
            const QByteArray notice = ascii.mid(clockPrefix.size());
            const auto gatewayTime = channel->openClockNotice(
                std::string_view(notice.constData(), static_cast<std::size_t>(notice.size())));
            if (!gatewayTime) {
                fail(korean(text::kBadClockNotice));
                return {};
            }
            std::lock_guard lock(m_mutex);
            m_clockOffset = *gatewayTime - ClientChannel::systemTime();
            for (auto& [address, each] : m_channels)
                each.channel->setClockOffset(m_clockOffset);
            m_lastError = korean(text::kClockSet);
            return {};
        }
        std::string why;
        const auto plain = channel->openReply(std::string_view(ascii.constData(), static_cast<std::size_t>(ascii.size())),
                                              &why);
        if (!plain) {
            fail(korean(why));
            return {};
        }
        return QString::fromUtf8(plain->data(), static_cast<qsizetype>(plain->size()));
    } catch (...) {
        fail(korean(text::kInternal));
        return {};
    }
}

QString VelcorEngine::sign(const QString& gateAddress, const QString& /*caList*/, const QString& data, int /*flag*/,
                           const QString& /*reserved*/, long /*option*/)
{
    // Every certificate of the store comes from the bank, so the authority list,
    // the flag and the option do not narrow the choice.
    try {
        std::string sessionKey;
        {
            std::lock_guard op(m_operation);
            const auto channel = channelFor(gateAddress, true);
            if (!channel)
                return {};
            sessionKey = channel->sessionKey();
        }
        const QString certDir = platform::homeFolder() + QStringLiteral("/certs");
        const std::vector<CertificateInfo> certificates = listCertificates(certDir.toStdString());
        if (certificates.empty()) {
            fail(korean(text::kNoCertificate));
            return {};
        }
        if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
            fail(korean(text::kNoDialog));
            return {};
        }
        VelcorSignDialog dialog(certificates, QApplication::activeWindow());
        const int result = platform::execModal(&dialog);
        if (result != QDialog::Accepted || !dialog.unlocked()) {
            fail(dialog.lastFailure().empty() ? korean(text::kSignCancelled) : korean(dialog.lastFailure()));
            return {};
        }
        const UnlockedKey& key = *dialog.unlocked();
        const std::int64_t timestamp = platform::now().toSecsSinceEpoch();
        const std::string signedText = makeSignedText(key.secretKey, key.info.id, timestamp, sessionKey, utf8(data));
        return QString::fromLatin1(signedText.data(), static_cast<qsizetype>(signedText.size()));
    } catch (...) {
        fail(korean(text::kInternal));
        return {};
    }
}

long VelcorEngine::endSession(const QString& gateAddress)
{
    try {
        if (gateAddress.isEmpty()) {
            fail(korean(text::kNoGateAddress));
            return NotSent;
        }
        std::lock_guard op(m_operation);
        std::shared_ptr<ClientChannel> channel;
        {
            std::lock_guard lock(m_mutex);
            auto it = m_channels.find(gateAddress);
            if (it == m_channels.end())
                return Ended; // no session was ever opened: nothing to end
            if (it->second.gatewayKey != platform::Deploy::gatewayPublicKey().trimmed()) {
                // Opened with a bank of another key: this one never had it.
                m_channels.erase(it);
                return Ended;
            }
            channel = it->second.channel;
        }
        const QString host = platform::Deploy::serverHost().trimmed();
        if (host.isEmpty()) {
            fail(korean(text::kNoServerHost));
            return NotSent;
        }
        std::string why;
        const std::string body = channel->sealEndSession(&why);
        if (body.empty()) {
            fail(korean(why));
            return NotSent;
        }
        const std::string url = "http://" + host.toStdString() + std::string(protocol::kEndSessionPath);
        const HttpAnswer answer = postEndSession(url, body);
        if (!answer.reached) {
            fail(korean(text::kGatewayUnreachable));
            return Unreachable;
        }
        if (answer.status != 200) {
            const std::string_view prefix = protocol::kErrorPrefix;
            if (answer.body.rfind(prefix, 0) == 0 && answer.body.size() > prefix.size()) {
                // Refusals come in code page 949.
                const QString reason = decodeRefusal(answer.body.substr(prefix.size()));
                if (reason == korean(kGatewayEnded) || reason == korean(kGatewayNoSession)) {
                    std::lock_guard lock(m_mutex);
                    m_channels.erase(gateAddress);
                    return Ended;
                }
                fail(reason);
            } else {
                fail(korean(text::kEndRefused));
            }
            return Refused;
        }
        if (!channel->openEndAck(answer.body, &why)) {
            fail(korean(text::kEndRefused));
            return Refused;
        }
        std::lock_guard lock(m_mutex);
        m_channels.erase(gateAddress);
        return Ended;
    } catch (...) {
        fail(korean(text::kInternal));
        return NotSent;
    }
}

QString VelcorEngine::lastError()
{
    std::lock_guard lock(m_mutex);
    return m_lastError;
}

} // namespace velcor

extern "C" __attribute__((visibility("default"))) velcor::IVelcorEngine* velcor_engine_instance()
{
    try {
        static velcor::VelcorEngine engine;
        return &engine;
    } catch (...) {
        return nullptr;
    }
}
