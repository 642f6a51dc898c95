#pragma once
// CRasEx: opens and closes the dial-up link over a wireless modem.
//
// A dial names a phone-book entry; the account name and password come from the
// mobile carrier (asked once in the carrier login dialog and kept under the
// entry's registry key). While dialling, the progress dialog shows the link's
// state in its own event loop; RAS_Connect returns only when the dial has ended.
// The dial state is process-wide: one dial at a time, shared by every instance.
#include <QHash>
#include <QObject>
#include <QString>
#include "DialkitExport.h"

class DIALKIT_EXPORT CRasEx : public QObject {
    Q_OBJECT
public:
    // Dial results (RAS_GetDialResult).
    enum DialResult : unsigned { Connected = 0, Failed = 1, TimedOut = 2, Cancelled = 3 };
    // Callers pass arrays of this many texts to the name enumerations.
    static constexpr int kMaxNames = 10;
    // Room the system enumerations are read into.
    static constexpr int kMaxSystemEntries = 100;

    explicit CRasEx(QObject* parent = nullptr);
    ~CRasEx() override;

    // Dials the entry; TRUE once connected. FALSE when a connection handle already
    // exists, the entry is not in the phone book, or the dial failed, timed out or
    // was cancelled (then RAS_GetDialResult tells which and the link is hung up).
    BOOL RAS_Connect(const QString& entryName);
    // Asks a running progress dialog to stop with result 3.
    void RAS_ConnectCancel();
    // Hangs up (sound "InfEnd" on success, "Ding" on failure); always TRUE.
    BOOL RAS_Disconnect();
    BOOL RAS_IsConnected();
    BOOL RAS_ExistConnection(const QString& entryName);
    // Phone-book entries (trimmed; empty ones and those beginning with "`" skipped)
    // into names[0..kMaxNames); TRUE if at least one.
    BOOL RAS_GetEntryNames(int* count, QString* names);
    // Modem devices except the IrDA and COM1 ones into names[0..kMaxNames); TRUE if at least one.
    BOOL RAS_GetDeviceNames(int* count, QString* names);
    unsigned RAS_GetDialResult() const;
    static QString RAS_GetLastErrorString(int rasError);

    // Status texts of the progress dialog by link state (platform::RasConnState);
    // a program with its own wording passes them here, states it leaves out show
    // an empty line. An empty table restores the dialog's own texts.
    void SetProgressTexts(const QHash<int, QString>& texts) { m_progressTexts = texts; }

    QString carrier() const { return m_strTelecom; }
    QString userName() const { return m_strUserName; }
    int saveFlag() const { return m_nSave; }

protected:
    void InitVariable();
    BOOL CheckEntryName(const QString& entryName);
    void GetUserInfo(const QString& entryName, QString& userName, QString& password);
    void ShowLogin(const QString& entryName, QString& userName, QString& password);
    QString GetUserID(const QString& entryName);
    QString GetUserPasswd(const QString& userName);
    void SaveSetting(int save, const QString& entryName, const QString& carrier, const QString& userName);

    QString m_strTelecom;
    QString m_strUserName;
    int m_nSave = 0;
    QHash<int, QString> m_progressTexts;
};
