#include "RasBook.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTimer>

#include "Services.h"

namespace platform {

namespace {

constexpr int kPollIntervalMs = 20;
constexpr int kDefaultDelayMs = 3000;

struct Section {
    QString name;
    QHash<QString, QString> values; // keys lower-case
};

struct Book {
    QList<Section> entries;
    QList<Section> devices;

    const Section* entry(const QString& name) const {
        for (const Section& s : entries)
            if (s.name == name)
                return &s;
        return nullptr;
    }
    const Section* device(const QString& name) const {
        for (const Section& s : devices)
            if (s.name == name)
                return &s;
        return nullptr;
    }
};

// A missing or unreadable file is an empty phone book.
Book readBook(const QString& path) {
    Book book;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return book;
    const QString text = QString::fromUtf8(f.readAll());
    QList<Section>* list = nullptr;
    for (const QString& raw : text.split(QLatin1Char('\n'))) {
        QString line = raw;
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char(';')) || trimmed.startsWith(QLatin1Char('#')))
            continue;
        if (trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']'))) {
            // The name is kept exactly as written between "[kind:" and "]".
            const int open = line.indexOf(QLatin1Char('['));
            const int close = line.lastIndexOf(QLatin1Char(']'));
            const QString header = line.mid(open + 1, close - open - 1);
            const int colon = header.indexOf(QLatin1Char(':'));
            const QString kind = colon < 0 ? header.trimmed().toLower() : header.left(colon).trimmed().toLower();
            const QString name = colon < 0 ? QString() : header.mid(colon + 1);
            list = kind == QLatin1String("entry") ? &book.entries
                 : kind == QLatin1String("device") ? &book.devices
                                                   : nullptr;
            if (list)
                list->append(Section{name, {}});
            continue;
        }
        const int eq = trimmed.indexOf(QLatin1Char('='));
        if (!list || eq <= 0)
            continue;
        list->last().values.insert(trimmed.left(eq).trimmed().toLower(), trimmed.mid(eq + 1).trimmed());
    }
    return book;
}

// The states of a successful dial, in the order the link passes them.
const QList<RasConnState>& connectSequence() {
    static const QList<RasConnState> seq = {
        RasConnState::OpenPort,      RasConnState::PortOpened,          RasConnState::ConnectDevice,
        RasConnState::DeviceConnected, RasConnState::AllDevicesConnected, RasConnState::Authenticate,
        RasConnState::AuthNotify,    RasConnState::Authenticated,       RasConnState::Connected,
    };
    return seq;
}

bool stateFromName(const QString& name, RasConnState* state) {
    static const QHash<QString, RasConnState> names = {
        {QStringLiteral("openport"), RasConnState::OpenPort},
        {QStringLiteral("portopened"), RasConnState::PortOpened},
        {QStringLiteral("connectdevice"), RasConnState::ConnectDevice},
        {QStringLiteral("deviceconnected"), RasConnState::DeviceConnected},
        {QStringLiteral("alldevicesconnected"), RasConnState::AllDevicesConnected},
        {QStringLiteral("authenticate"), RasConnState::Authenticate},
        {QStringLiteral("authnotify"), RasConnState::AuthNotify},
        {QStringLiteral("authenticated"), RasConnState::Authenticated},
    };
    const auto it = names.constFind(name.trimmed().toLower());
    if (it == names.constEnd())
        return false;
    *state = it.value();
    return true;
}

// The states up to and including `last` (the whole sequence when `last` is not in it).
QList<RasConnState> sequenceUpTo(RasConnState last) {
    QList<RasConnState> out;
    for (RasConnState s : connectSequence()) {
        out.append(s);
        if (s == last)
            break;
    }
    return out;
}

int intValue(const Section& s, const char* key, int fallback) {
    bool ok = false;
    const int v = s.values.value(QLatin1String(key)).toInt(&ok);
    return ok ? v : fallback;
}

} // namespace

RasBook::RasBook() = default;

RasBook::~RasBook() = default;

QString RasBook::filePath() {
    return QDir(homeFolder()).filePath(QStringLiteral("rasbook.ini"));
}

QStringList RasBook::entryNames() {
    QStringList names;
    for (const Section& s : readBook(filePath()).entries)
        names.append(s.name);
    return names;
}

bool RasBook::entryExists(const QString& name) {
    return readBook(filePath()).entry(name) != nullptr;
}

QList<RasDevice> RasBook::devices() {
    QList<RasDevice> out;
    for (const Section& s : readBook(filePath()).devices)
        out.append(RasDevice{s.name, s.values.value(QStringLiteral("type"), QStringLiteral("modem"))});
    return out;
}

int RasBook::dial(const RasDialParams& params, QObject* notify, RasConn* conn) {
    if (conn)
        *conn = 0;
    const Book book = readBook(filePath());
    const Section* entry = book.entry(params.entryName);
    if (!entry)
        return kRasErrorCannotFindPhonebookEntry;
    const QString deviceName = entry->values.value(QStringLiteral("device"));
    // One dial per device at a time, as on a real port.
    for (const Connection& c : std::as_const(conns_))
        if (!deviceName.isEmpty() && c.status.deviceName == deviceName)
            return kRasErrorPortAlreadyOpen;

    // The scripted states and where the script ends.
    const QString outcome = entry->values.value(QStringLiteral("outcome"), QStringLiteral("connect")).toLower();
    RasConnState at = RasConnState::ConnectDevice;
    const bool hasAt = stateFromName(entry->values.value(QStringLiteral("at")), &at);
    QList<RasConnState> states;
    RasConnState lastState = RasConnState::Connected;
    int lastError = 0;
    if (outcome == QLatin1String("fail")) {
        states = sequenceUpTo(at);
        lastState = at;
        lastError = intValue(*entry, "error", 651);
        if (lastError == 0)
            lastError = 651;
    } else if (outcome == QLatin1String("disconnect")) {
        states = sequenceUpTo(hasAt ? at : RasConnState::AuthNotify);
        states.append(RasConnState::Disconnected);
        lastState = RasConnState::Disconnected;
    } else if (outcome == QLatin1String("noanswer")) {
        states = sequenceUpTo(RasConnState::ConnectDevice);
        lastState = RasConnState::ConnectDevice;
    } else {
        states = connectSequence();
    }

    // A device the book does not hold fails at once; wrong credentials fail at
    // "authenticate" when the script gets that far.
    const Section* device = deviceName.isEmpty() ? nullptr : book.device(deviceName);
    if (!deviceName.isEmpty() && !device) {
        states = {RasConnState::OpenPort};
        lastState = RasConnState::OpenPort;
        lastError = kRasErrorDeviceDoesNotExist;
    } else if (entry->values.contains(QStringLiteral("user")) || entry->values.contains(QStringLiteral("password"))) {
        const bool match = params.userName == entry->values.value(QStringLiteral("user"))
                           && params.password == entry->values.value(QStringLiteral("password"));
        const int authAt = states.indexOf(RasConnState::Authenticate);
        if (!match && authAt >= 0) {
            states = states.mid(0, authAt + 1);
            lastState = RasConnState::Authenticate;
            lastError = kRasErrorAuthenticationFailure;
        }
    }

    Connection c;
    c.notify = notify;
    c.status.state = RasConnState::OpenPort;
    c.status.deviceName = deviceName;
    c.status.deviceType = device ? device->values.value(QStringLiteral("type"), QStringLiteral("modem")) : QString();
    c.dropAfter = intValue(*entry, "drop", -1);
    c.hangupError = intValue(*entry, "hangup_error", 0);
    const qint64 start = tickCount();
    const int delay = qMax(0, intValue(*entry, "delay", kDefaultDelayMs));
    const int n = int(states.size());
    for (int i = 0; i < n; ++i) {
        const qint64 due = start + (n > 1 ? qint64(delay) * i / (n - 1) : delay);
        const bool last = i == n - 1;
        c.steps.append(Step{due, states[i], last && states[i] == lastState ? lastError : 0});
    }

    const RasConn handle = nextConn_++;
    conns_.insert(handle, c);
    if (conn)
        *conn = handle;
    ensureTimer();
    return 0;
}

int RasBook::connectionStatus(RasConn conn, RasConnStatus* status) {
    poll();
    const auto it = conns_.constFind(conn);
    if (it == conns_.constEnd())
        return kRasErrorInvalidHandle;
    if (status)
        *status = it->status;
    return 0;
}

int RasBook::hangUp(RasConn conn) {
    const auto it = conns_.find(conn);
    if (it == conns_.end())
        return kRasErrorInvalidHandle;
    const int err = it->hangupError;
    conns_.erase(it);
    return err;
}

void RasBook::poll() {
    const qint64 now = tickCount();
    // Collect first: a receiver may hang up (and so change conns_) while handling.
    QList<std::pair<QPointer<QObject>, RasDialEvent*>> due;
    for (auto it = conns_.begin(); it != conns_.end(); ++it) {
        Connection& c = it.value();
        while (!c.steps.isEmpty() && c.steps.first().due <= now) {
            const Step s = c.steps.takeFirst();
            c.status.state = s.state;
            c.status.error = s.error;
            if (s.state == RasConnState::Connected)
                c.connectedAt = s.due;
            due.append({c.notify, new RasDialEvent(it.key(), s.state, s.error)});
            if (s.error != 0)
                c.steps.clear();
        }
        if (c.connectedAt >= 0 && c.dropAfter >= 0 && c.status.state == RasConnState::Connected
            && now - c.connectedAt >= c.dropAfter)
            c.status.state = RasConnState::Disconnected;
    }
    for (auto& [receiver, ev] : due) {
        if (receiver)
            QCoreApplication::postEvent(receiver, ev);
        else
            delete ev;
    }
    bool pending = false;
    for (const Connection& c : std::as_const(conns_))
        pending = pending || !c.steps.isEmpty() || (c.dropAfter >= 0 && c.status.state == RasConnState::Connected);
    if (!pending && timer_)
        timer_->stop();
}

void RasBook::ensureTimer() {
    if (!timer_) {
        timer_ = new QTimer(this);
        timer_->setInterval(kPollIntervalMs);
        connect(timer_, &QTimer::timeout, this, &RasBook::poll);
    }
    if (!timer_->isActive())
        timer_->start();
}

} // namespace platform
