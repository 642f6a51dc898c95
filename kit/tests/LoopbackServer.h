#pragma once
// A bank servlet on a loopback port for the kit's tests. The encrypted servlet
// reads the base64 "cipher" of FakeEngine and answers base64 of the canned
// envelope; the unencrypted servlet answers the envelope itself in code page 949.
#include <QString>
#include <QStringList>
#include <memory>
#include <mutex>

class LoopbackServer {
public:
    LoopbackServer();
    ~LoopbackServer();

    int port() const { return port_; }
    QString mainUrl() const; // http://127.0.0.1:PORT/servlet/TvPdaMain

    // The envelope every servlet answers next (UTF-16; CP949 or base64 on the wire).
    void setReply(const QString& envelope);
    // The encrypted servlet answers this text as it is (not a cipher text).
    void setRawBody(const QString& body);
    // Answers with this status and an empty body.
    void setStatus(int status);

    struct Hit {
        QString method;
        QString path;
        QString query;   // decoded request text (plain servlet: the raw query)
        QString rawBody; // POST body as received
    };
    QList<Hit> hits() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
    int port_ = 0;
};
