#pragma once
// CQV: the secure session of the suite. It knows the secure gateway's address
// and the servlet URL, has the Velcor engine encrypt requests, decrypt replies,
// sign data and end the gateway session, and keeps the engine's last error.
//
// One engine serves the whole process: libVelcor.so is loaded from the program
// folder on the first encrypt, decrypt or sign and shared by every CQV. An
// engine that cannot be loaded, or that fails, gives an empty result and a
// last-error text; nothing is thrown out of these methods.
#include <QString>
#include "HttpVelcorExport.h"

namespace velcor {
class IVelcorEngine;
}

class HTTPVELCOR_EXPORT CQV {
public:
    CQV();
    virtual ~CQV();

    // Gate address "host:first:first"; an empty host means the bank's server host.
    void SetVgateProp(const QString& host, unsigned firstPort, unsigned secondPort);
    // The same with ports in decimal text (leading digits; none gives 0); the
    // host is taken as given.
    void SetVgateProp(const QString& host, const QString& firstPort, const QString& secondPort);
    // Non-zero: the encrypted servlet; zero: the unencrypted one.
    void SetServerProp(int encrypted);
    void SetServerProp(const QString& url);
    QString GetServerProp() const;

    // Full GET URL "<server URL>?q=<escaped cipher>", or empty on failure.
    QString XEncode(const QString& request, int pathFlag);
    // POST form body "q=<escaped cipher>", or empty on failure.
    QString XEncodeEx(const QString& request, int pathFlag);
    // The plain reply of a cipher text exactly as received, or empty on failure.
    QString XDecode(const QString& cipher);
    // The signed form of data, or empty on failure or when the user cancels.
    QString XSignData(const QString& data, int flag, long option);

    // Content between the first <tag> and the next </tag>, trimmed; "" if either is missing.
    QString XParse(const QString& text, const QString& tag) const;
    // The n-th (from 1) item of text where every item is terminated by sep, trimmed.
    QString XParsedItem(const QString& text, unsigned n, const QString& sep) const;

    // First 44 characters of the last cipher text produced (the engine's session name).
    QString GetXSessionKey() const;
    QString GetLastErrorMsg() const;
    // which != 0: encoding flag; which == 0: decoding flag.
    int IsInUsing(int which) const;
    int IsInUsing() const;
    // Ends the gateway session; 0 = ended (the session is then cleared). Returns
    // 0 without doing anything when no engine was ever created in this process.
    long CloseSession();
    // Drops the gateway session of this gate address after the gateway said it
    // is over; the gate address and server URL stay, so the next request opens
    // a new session. 0 = dropped.
    long RenewSession();

    // Replaces the process-wide engine (unit tests); nullptr goes back to libVelcor.so.
    // The replacement counts as created only from its first use on.
    static void SetEngineForTesting(velcor::IVelcorEngine* engine);

    static QString EncryptedServletUrl();
    static QString PlainServletUrl();
    static const QString& CertificateAuthorities();

protected:
    void ClearData();
    QString Escape_Cipher(const QString& text) const;

    QString m_strSessionKey;
    QString m_strGateAddr;
    QString m_strGateHost;
    unsigned m_nFirstPort;
    unsigned m_nSecondPort;
    QString m_strServerURL;
    QString m_strEnginePath;
    QString m_strLastError;
    int m_nEncoding;
    int m_nDecoding;

private:
    QString encodeCipher(const QString& request, int pathFlag, bool* ok);
    long endEngineSession(velcor::IVelcorEngine* engine);
};
