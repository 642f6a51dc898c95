// Clock, tick count, sleeping and random numbers, each replaceable by tests.
#include "Services.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMutex>
#include <QMutexLocker>
#include <QRandomGenerator>
#include <QThread>

#include <algorithm>
#include <limits>

namespace platform {
namespace {

struct ClockState {
    QMutex mutex;
    NowFn now;
    TickFn tick;
    SleepFn sleep;
    RandomFn random;
    bool fake = false;      // a clock is injected
    qint64 fakeTicks = 0;   // tick count advanced by sleepMs when no tick function is given
};

ClockState& state()
{
    static ClockState s;
    return s;
}

QElapsedTimer& monotonic()
{
    static QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return timer;
}

void realSleep(int ms)
{
    if (ms <= 0)
        return;
    auto* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread()) {
        QThread::msleep(static_cast<unsigned long>(ms));
        return;
    }
    // On the UI thread the screens keep painting while the caller waits.
    QElapsedTimer t;
    t.start();
    for (qint64 left = ms; left > 0; left = ms - t.elapsed()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, static_cast<int>(std::min<qint64>(left, 10)));
        if (ms - t.elapsed() > 0)
            QThread::msleep(static_cast<unsigned long>(std::min<qint64>(ms - t.elapsed(), 5)));
    }
}

} // namespace

QDateTime now()
{
    NowFn fn;
    {
        QMutexLocker lock(&state().mutex);
        fn = state().now;
    }
    return fn ? fn() : QDateTime::currentDateTime();
}

qint64 tickCount()
{
    auto& s = state();
    TickFn fn;
    {
        QMutexLocker lock(&s.mutex);
        if (s.fake && !s.tick)
            return s.fakeTicks;
        fn = s.tick;
    }
    return fn ? fn() : monotonic().elapsed();
}

void sleepMs(int ms)
{
    auto& s = state();
    SleepFn fn;
    {
        QMutexLocker lock(&s.mutex);
        if (s.fake && !s.sleep) {
            s.fakeTicks += std::max(ms, 0);
            return;
        }
        fn = s.sleep;
    }
    if (fn)
        fn(ms);
    else
        realSleep(ms);
}

int randomInt(int low, int high)
{
    if (low > high)
        std::swap(low, high);
    RandomFn fn;
    {
        QMutexLocker lock(&state().mutex);
        fn = state().random;
    }
    if (fn)
        return fn(low, high);
    if (high == std::numeric_limits<int>::max())
        return static_cast<int>(QRandomGenerator::global()->bounded(qint64(low), qint64(high) + 1));
    return QRandomGenerator::global()->bounded(low, high + 1);
}

void setClock(NowFn nowFn, TickFn tickFn, SleepFn sleepFn)
{
    auto& s = state();
    QMutexLocker lock(&s.mutex);
    s.fake = static_cast<bool>(nowFn) || static_cast<bool>(tickFn) || static_cast<bool>(sleepFn);
    s.now = std::move(nowFn);
    s.tick = std::move(tickFn);
    s.sleep = std::move(sleepFn);
    s.fakeTicks = 0;
}

void setRandomSource(RandomFn fn)
{
    QMutexLocker lock(&state().mutex);
    state().random = std::move(fn);
}

} // namespace platform
