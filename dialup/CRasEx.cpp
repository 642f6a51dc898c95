#include "CRasEx.h"

#include <QApplication>
#include <QHash>
#include <QPointer>
#include <QWidget>

#include "CRasLoginDlg.h"
#include "CRasProgressDlg.h"
#include "Deploy.h"
#include "DeviceFrame.h"
#include "Modal.h"
#include "RasService.h"
#include "Registry.h"
#include "Services.h"

namespace {

// One dial at a time per process, shared by every CRasEx.
struct DialState {
    platform::RasConn conn = 0;
    platform::RasDialParams params;
    QPointer<CRasProgressDlg> progress;
    unsigned result = CRasEx::Failed;
};

DialState& dialState() {
    static DialState state;
    return state;
}

const QString kSktPassword = QStringLiteral("plumb472");
const QString kKtf = QStringLiteral("KTF");

QString entryKey(const QString& entryName) {
    return QStringLiteral("Comm\\RasBook\\%1").arg(entryName);
}

// Deployment values of deploy.ini [carrier]; the defaults are those of the
// default deploy.ini.
QString carrierValue(const char* key, const char* fallback) {
    return platform::Deploy::value(QStringLiteral("carrier"), QLatin1String(key), QLatin1String(fallback)).trimmed();
}

QString sktAccount() {
    return carrierValue("skt_account", "tvpbpda@skt.tavrin.kr");
}

// The SKT realm: its own value, else what follows "@" in the SKT account.
QString sktRealm() {
    const QString realm = carrierValue("skt_realm", "");
    if (!realm.isEmpty())
        return realm;
    const QString account = sktAccount();
    const int at = account.lastIndexOf(QLatin1Char('@'));
    return at < 0 ? QString() : account.mid(at + 1);
}

QString lgtRealm() {
    return carrierValue("lgt_realm", "lgtpda.kr");
}

QWidget* dialogParent() {
    return platform::DeviceFrame::instance();
}

} // namespace

CRasEx::CRasEx(QObject* parent) : QObject(parent) {}

CRasEx::~CRasEx() {
    DialState& st = dialState();
    // A progress dialog can only still exist while a dial runs in a nested loop;
    // cancelling lets that dial end cleanly instead of deleting it under it.
    if (st.progress)
        RAS_ConnectCancel();
    if (RAS_IsConnected())
        RAS_Disconnect();
}

BOOL CRasEx::RAS_Connect(const QString& entryName) {
    DialState& st = dialState();
    if (st.conn != 0 || st.progress)
        return 0;
    InitVariable();
    if (!CheckEntryName(entryName))
        return 0;

    // The save flag, carrier and account name belong to this dial only.
    m_nSave = 0;
    QString userName;
    QString password;
    GetUserInfo(entryName, userName, password);
    m_strUserName = userName;
    st.params = platform::RasDialParams{entryName, userName, password, QString()};

    // The progress dialog runs in its own event loop; the dial starts once its
    // window exists and reports every state to it.
    auto* dlg = new CRasProgressDlg(dialogParent());
    st.progress = dlg;
    if (!m_progressTexts.isEmpty())
        dlg->setStateTexts(m_progressTexts);
    dlg->setReadyHandler([dlg]() {
        DialState& s = dialState();
        platform::RasConn conn = 0;
        const int rc = platform::RasService::dial(s.params, dlg, &conn);
        s.conn = conn;
        if (rc != 0) // the dial did not start: show why and fail
            QCoreApplication::postEvent(dlg, new platform::RasDialEvent(0, platform::RasConnState::OpenPort, rc));
    });
    const int result = platform::execModal(dlg);
    st.progress = nullptr;
    delete dlg;
    st.result = (result >= int(Connected) && result <= int(Cancelled)) ? unsigned(result) : unsigned(Failed);

    if (st.result != Connected) {
        RAS_Disconnect();
        return 0;
    }
    SaveSetting(m_nSave, entryName, m_strTelecom, m_strUserName);
    return 1;
}

void CRasEx::RAS_ConnectCancel() {
    if (CRasProgressDlg* dlg = dialState().progress)
        QCoreApplication::postEvent(dlg, new QEvent(CRasProgressDlg::kCancelEvent));
}

BOOL CRasEx::RAS_Disconnect() {
    DialState& st = dialState();
    const int rc = platform::RasService::hangUp(st.conn);
    platform::playSound(rc == 0 ? QStringLiteral("InfEnd") : QStringLiteral("Ding"));
    st.conn = 0;
    if (st.progress)
        RAS_ConnectCancel();
    return 1;
}

BOOL CRasEx::RAS_IsConnected() {
    const DialState& st = dialState();
    if (st.conn == 0)
        return 0;
    platform::RasConnStatus status;
    if (platform::RasService::connectionStatus(st.conn, &status) != 0)
        return 0;
    return status.state == platform::RasConnState::Connected ? 1 : 0;
}

BOOL CRasEx::RAS_ExistConnection(const QString& entryName) {
    return platform::RasService::entryExists(entryName) ? 1 : 0;
}

BOOL CRasEx::RAS_GetEntryNames(int* count, QString* names) {
    if (count)
        *count = 0;
    if (!count || !names)
        return 0;
    const QStringList all = platform::RasService::entryNames().mid(0, kMaxSystemEntries);
    for (const QString& raw : all) {
        const QString name = raw.trimmed();
        if (name.isEmpty() || name.startsWith(QLatin1Char('`')))
            continue;
        if (*count >= kMaxNames)
            break;
        names[(*count)++] = name;
    }
    return *count > 0 ? 1 : 0;
}

BOOL CRasEx::RAS_GetDeviceNames(int* count, QString* names) {
    if (count)
        *count = 0;
    if (!count || !names)
        return 0;
    const QList<platform::RasDevice> all = platform::RasService::devices().mid(0, kMaxSystemEntries);
    for (const platform::RasDevice& d : all) {
        if (d.type.compare(QLatin1String("modem"), Qt::CaseInsensitive) != 0)
            continue;
        if (d.name == QLatin1String("Generic IrDA modem") || d.name == QLatin1String("Hayes Compatible on COM1:"))
            continue;
        if (*count >= kMaxNames)
            break;
        names[(*count)++] = d.name;
    }
    return *count > 0 ? 1 : 0;
}

unsigned CRasEx::RAS_GetDialResult() const {
    return dialState().result;
}

QString CRasEx::RAS_GetLastErrorString(int rasError) {
    static const QHash<int, const char*> texts = {
        {601, "Invalid port handle"},   {602, "Port already open"},
        {606, "Port not connected"},    {608, "Device does not exist"},
        {615, "Port not found"},        {616, "Async Request pending"},
        {618, "Port not open"},         {619, "Port disconnected"},
        {620, "No endpoints"},          {621, "Cannot open phonebook"},
        {622, "Cannot load phonebook"}, {623, "Cannot find phonebook entry"},
        {624, "Cannot write phonebook"}, {628, "Disconnection"},
        {629, "Remote disconnection"},  {631, "User disconnection"},
        {633, "Port not available"},    {635, "Unknown error"},
        {638, "Request timeout"},       {645, "Auth internal"},
        {646, "Restricted logon hours"}, {647, "Account disabled"},
        {648, "Passwd expired"},        {649, "No dialin permission"},
        {650, "Server not responding"}, {660, "No responses"},
        {668, "No connection"},         {676, "Line busy"},
        {678, "No answer"},             {679, "No carrier"},
        {680, "No dialtone"},           {691, "Authentication failure"},
        {692, "Port or device error"},  {702, "Unexpected response"},
        {703, "Interactive mode"},      {705, "Invalid auth state"},
        {708, "Account expired"},       {709, "Changing password error"},
        {710, "Overrun error"},         {749, "Bad phone number"},
    };
    const auto it = texts.constFind(rasError);
    if (it != texts.constEnd())
        return QString::fromLatin1(it.value());
    return QStringLiteral("Unknown error - #%1").arg(rasError);
}

void CRasEx::InitVariable() {
    DialState& st = dialState();
    st.conn = 0;
    st.params = platform::RasDialParams{};
}

BOOL CRasEx::CheckEntryName(const QString& entryName) {
    return platform::RasService::entryExists(entryName) ? 1 : 0;
}

void CRasEx::GetUserInfo(const QString& entryName, QString& userName, QString& password) {
    userName.clear();
    password.clear();
    const QString stored = GetUserID(entryName);
    if (!stored.isEmpty()) {
        userName = stored;
        password = GetUserPasswd(stored);
        return;
    }
    const QString carrier =
        platform::Registry::readText(platform::Root::CurrentUser, entryKey(entryName), QStringLiteral("TELECOM"));
    if (carrier != kKtf)
        ShowLogin(entryName, userName, password);
    // A stored "KTF" dials with empty credentials.
}

void CRasEx::ShowLogin(const QString& entryName, QString& userName, QString& password) {
    userName.clear();
    password.clear();
    CRasLoginDlg dlg(QStringLiteral("'%1' 접속 정보").arg(entryName), dialogParent());
    const int rc = platform::execModal(&dlg);
    if (QWidget* w = QApplication::activeWindow())
        w->update();
    if (rc != QDialog::Accepted)
        return;
    m_strTelecom = dlg.carrier();
    m_nSave = dlg.saveFlag();
    if (m_strTelecom == QLatin1String("SKT")) {
        userName = sktAccount();
        password = GetUserPasswd(userName);
    } else if (m_strTelecom == QLatin1String("LGT")) {
        userName = dlg.phoneNumber() + QLatin1Char('@') + lgtRealm();
        password = GetUserPasswd(userName);
    }
    m_strUserName = userName;
}

QString CRasEx::GetUserID(const QString& entryName) {
    return platform::Registry::readText(platform::Root::CurrentUser, entryKey(entryName), QStringLiteral("User"));
}

QString CRasEx::GetUserPasswd(const QString& userName) {
    const QString name = userName.trimmed();
    if (name.isEmpty())
        return QString();
    const QString lgt = lgtRealm();
    if (!lgt.isEmpty() && name.endsWith(lgt)) {
        // The last four digits of the phone number: the four characters before "@".
        const int at = name.indexOf(QLatin1Char('@'));
        return at < 0 ? QString() : name.mid(qMax(0, at - 4), at - qMax(0, at - 4));
    }
    const QString skt = sktRealm();
    if (!skt.isEmpty() && name.endsWith(skt))
        return kSktPassword;
    return QString();
}

void CRasEx::SaveSetting(int save, const QString& entryName, const QString& carrier, const QString& userName) {
    if (!save)
        return;
    const QString key = entryKey(entryName);
    platform::Registry::createKey(platform::Root::CurrentUser, key);
    platform::Registry::setText(platform::Root::CurrentUser, key, QStringLiteral("TELECOM"), carrier);
    platform::Registry::setText(platform::Root::CurrentUser, key, QStringLiteral("User"), userName);
}
