#pragma once
// The request cycle of a service screen, written once for every module:
//
//   plain path   busy test, wait cursor, CQV::XEncode, CQD::DownloadData,
//                CheckReply, CQV::XDecode, CheckEnvelope, arrow cursor
//   signed path  the same with CQV::XEncodeEx and CQD::DownloadDataEx (form POST
//                to CQV::GetServerProp()), for the executing transactions
//   open path    the same without encryption: the URL goes to the unencrypted
//                servlet and the raw reply is the envelope
//
// Every failure has been shown to the user when a Send... returns false (a
// "BIZ06" answer has also asked about logging in again); the arrow cursor is
// back on every path.
#include <QString>

class QWidget;
class CQV;
class CQD;

class KitRequest {
public:
    // window owns the message boxes; nextModule is the screen's next-module code.
    KitRequest(QWidget* window, CQV* session, CQD* download, int* nextModule);

    // A request started by a button does nothing while the session or the
    // download object is busy. Requests made while a page or dialog initialises
    // skip this test (SetCheckBusy(false)).
    void SetCheckBusy(bool check) { checkBusy_ = check; }
    static bool IsBusy(const CQV* session, const CQD* download);

    // True when the reply passed every check; `decoded` is the decoded reply
    // (on the open path the raw reply).
    bool SendPlain(const QString& query, QString& decoded, bool showSuccess = false);
    bool SendSigned(const QString& query, QString& decoded, bool showSuccess = false);
    // url: BuildQueryT003 / BuildQueryU003 / BuildQueryU004 on OpenBase().
    bool SendOpen(const QString& url, QString& reply, bool showSuccess = false);

    // The unencrypted servlet beside the session's server URL: the URL up to its
    // first "/Tv", then "/TvPdaNoEnc".
    static QString OpenBase(const CQV* session);

    // True when the last Send... did nothing because the session was busy.
    bool WasBusy() const { return wasBusy_; }

    // The screen's closing mark: once the screen is closing (the re-login prompt
    // ended it while it was still opening), nothing more is sent and nothing is
    // shown; a Send... returns false.
    void SetClosingMark(const bool* closing) { closing_ = closing; }

private:
    enum class Route { Plain, Signed, Open };
    bool send(Route route, const QString& text, QString& out, bool showSuccess);

    QWidget* window_;
    CQV* session_;
    CQD* download_;
    int* nextModule_;
    bool checkBusy_ = true;
    bool wasBusy_ = false;
    const bool* closing_ = nullptr;
};
