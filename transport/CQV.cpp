#include "CQV.h"

#include "Deploy.h"
#include "EnvelopeText.h"
#include "IVelcorEngine.h"
#include "VelcorEngine.h"

namespace {

// Sets a busy flag for the duration of one call.
class FlagGuard {
public:
    explicit FlagGuard(int& flag) : m_flag(flag) { m_flag = 1; }
    ~FlagGuard() { m_flag = 0; }
    FlagGuard(const FlagGuard&) = delete;
    FlagGuard& operator=(const FlagGuard&) = delete;

private:
    int& m_flag;
};

// Decimal text to a port: leading blanks skipped, then the leading digits; none gives 0.
unsigned portFromText(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    quint64 value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + static_cast<quint64>(text[i].unicode() - u'0');
        if (value > 0xFFFFFFFFull)
            value = 0xFFFFFFFFull;
    }
    return static_cast<unsigned>(value);
}

// Last error of the engine after a failed call (empty when even that fails).
QString engineLastError(velcor::IVelcorEngine* engine)
{
    try {
        return engine->lastError();
    } catch (...) {
        return transport::velcorFailureText();
    }
}

} // namespace

CQV::CQV() : m_nFirstPort(0), m_nSecondPort(0), m_nEncoding(0), m_nDecoding(0)
{
    ClearData();
}

CQV::~CQV() = default;

QString CQV::EncryptedServletUrl()
{
    return QStringLiteral("http://%1/servlet/TvPdaMain").arg(platform::Deploy::serverHost());
}

QString CQV::PlainServletUrl()
{
    return QStringLiteral("http://%1/servlet/TvPdaNoEnc").arg(platform::Deploy::serverHost());
}

const QString& CQV::CertificateAuthorities()
{
    static const QString list = QStringLiteral(
        "yessign,테스트 인증기관,aa,yessignCA-TEST,SignGateFTCA,SignKorea Test CA,SignKorea CA,기업은행 인증기관");
    return list;
}

void CQV::ClearData()
{
    m_strSessionKey.clear();
    m_strGateAddr.clear();
    m_strGateHost.clear();
    m_nFirstPort = 0;
    m_nSecondPort = 0;
    m_strServerURL.clear();
    m_strEnginePath = QStringLiteral("/off");
    m_strLastError.clear();
    m_nEncoding = 0;
    m_nDecoding = 0;
}

void CQV::SetVgateProp(const QString& host, unsigned firstPort, unsigned secondPort)
{
    m_strGateHost = host.isEmpty() ? platform::Deploy::serverHost() : host;
    m_nFirstPort = firstPort;
    m_nSecondPort = secondPort;
    m_strGateAddr = QStringLiteral("%1:%2:%3").arg(m_strGateHost).arg(m_nFirstPort).arg(m_nFirstPort);
}

void CQV::SetVgateProp(const QString& host, const QString& firstPort, const QString& secondPort)
{
    m_strGateHost = host;
    m_nFirstPort = portFromText(firstPort);
    m_nSecondPort = portFromText(secondPort);
    m_strGateAddr = QStringLiteral("%1:%2:%3").arg(m_strGateHost).arg(m_nFirstPort).arg(m_nFirstPort);
}

void CQV::SetServerProp(int encrypted)
{
    m_strServerURL = encrypted ? EncryptedServletUrl() : PlainServletUrl();
}

void CQV::SetServerProp(const QString& url)
{
    m_strServerURL = url;
}

QString CQV::GetServerProp() const
{
    return m_strServerURL;
}

QString CQV::encodeCipher(const QString& request, int pathFlag, bool* ok)
{
    *ok = false;
    QString error;
    velcor::IVelcorEngine* engine = transport::velcorEngine(&error);
    if (!engine) {
        m_strLastError = error;
        return {};
    }
    m_strEnginePath = pathFlag ? QStringLiteral("/on") : QStringLiteral("/off");
    QString cipher;
    try {
        cipher = engine->encrypt(m_strGateAddr, m_strEnginePath, request, QStringLiteral("GET"));
    } catch (...) {
        m_strLastError = transport::velcorFailureText();
        return {};
    }
    if (cipher.isEmpty()) {
        m_strLastError = engineLastError(engine);
        return {};
    }
    m_strSessionKey = cipher.left(44);
    *ok = true;
    return cipher;
}

QString CQV::XEncode(const QString& request, int pathFlag)
{
    if (m_strGateAddr.isEmpty())
        return {};
    FlagGuard busy(m_nEncoding);
    bool ok = false;
    const QString cipher = encodeCipher(request, pathFlag, &ok);
    if (!ok)
        return {};
    return QStringLiteral("%1?q=%2").arg(m_strServerURL, Escape_Cipher(cipher));
}

QString CQV::XEncodeEx(const QString& request, int pathFlag)
{
    if (m_strGateAddr.isEmpty())
        return {};
    FlagGuard busy(m_nEncoding);
    bool ok = false;
    const QString cipher = encodeCipher(request, pathFlag, &ok);
    if (!ok)
        return {};
    return QStringLiteral("q=%1").arg(Escape_Cipher(cipher));
}

QString CQV::XDecode(const QString& cipher)
{
    if (m_strGateAddr.isEmpty())
        return {};
    FlagGuard busy(m_nDecoding);
    QString error;
    velcor::IVelcorEngine* engine = transport::velcorEngine(&error);
    if (!engine) {
        m_strLastError = error;
        return {};
    }
    QString plain;
    try {
        plain = engine->decrypt(m_strGateAddr, cipher);
    } catch (...) {
        m_strLastError = transport::velcorFailureText();
        return {};
    }
    if (plain.isEmpty())
        m_strLastError = engineLastError(engine);
    return plain;
}

QString CQV::XSignData(const QString& data, int flag, long option)
{
    if (m_strGateAddr.isEmpty())
        return {};
    QString error;
    velcor::IVelcorEngine* engine = transport::velcorEngine(&error);
    if (!engine) {
        m_strLastError = error;
        return {};
    }
    QString signedText;
    try {
        signedText = engine->sign(m_strGateAddr, CertificateAuthorities(), data, flag ? 1 : 0, QString(), option);
    } catch (...) {
        m_strLastError = transport::velcorFailureText();
        return {};
    }
    if (signedText.isEmpty())
        m_strLastError = engineLastError(engine);
    return signedText;
}

long CQV::endEngineSession(velcor::IVelcorEngine* engine)
{
    try {
        return engine->endSession(m_strGateAddr);
    } catch (...) {
        m_strLastError = transport::velcorFailureText();
        return -1;
    }
}

long CQV::CloseSession()
{
    if (!transport::velcorEngineCreated())
        return 0;
    const long status = endEngineSession(transport::velcorEngine(nullptr));
    if (status == 0)
        ClearData();
    return status;
}

long CQV::RenewSession()
{
    if (m_strGateAddr.isEmpty())
        return -1;
    QString error;
    velcor::IVelcorEngine* engine = transport::velcorEngine(&error);
    if (!engine) {
        m_strLastError = error;
        return -1;
    }
    const long status = endEngineSession(engine);
    if (status == 0)
        m_strSessionKey.clear();
    else if (status > 0)
        m_strLastError = engineLastError(engine);
    return status;
}

QString CQV::GetXSessionKey() const
{
    return m_strSessionKey;
}

QString CQV::GetLastErrorMsg() const
{
    return m_strLastError;
}

int CQV::IsInUsing(int which) const
{
    return which ? m_nEncoding : m_nDecoding;
}

int CQV::IsInUsing() const
{
    return (m_nEncoding || m_nDecoding) ? 1 : 0;
}

QString CQV::Escape_Cipher(const QString& text) const
{
    QString out;
    out.reserve(text.size() + text.size() / 8 + 8);
    for (QChar c : text) {
        switch (c.unicode()) {
        case u' ': out += QStringLiteral("%20"); break;
        case u'%': out += QStringLiteral("%25"); break;
        case u'&': out += QStringLiteral("%26"); break;
        case u'+': out += QStringLiteral("%2B"); break;
        case u'=': out += QStringLiteral("%3D"); break;
        case u'?': out += QStringLiteral("%3F"); break;
        default: out += c; break;
        }
    }
    return out;
}

void CQV::SetEngineForTesting(velcor::IVelcorEngine* engine)
{
    transport::setVelcorEngineForTesting(engine);
}

QString CQV::XParse(const QString& text, const QString& tag) const
{
    return transport::parseElement(text, tag).toString();
}

QString CQV::XParsedItem(const QString& text, unsigned n, const QString& sep) const
{
    return transport::parsedItem(text, n, sep).toString();
}
