// The wait cursor and the taps made while it was up.
#include "DeviceFrame.h"
#include "Services.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace platform;

namespace {

Qt::CursorShape currentShape()
{
    const QCursor* c = QApplication::overrideCursor();
    return c ? c->shape() : Qt::ArrowCursor;
}

// Queues a stylus tap on the button, as the window system would deliver it later.
void queueTap(QPushButton* button)
{
    const QPointF local(button->width() / 2.0, button->height() / 2.0);
    const QPointF global = button->mapToGlobal(local);
    QCoreApplication::postEvent(button, new QMouseEvent(QEvent::MouseButtonPress, local, global, Qt::LeftButton,
                                                        Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(button, new QMouseEvent(QEvent::MouseButtonRelease, local, global, Qt::LeftButton,
                                                        Qt::NoButton, Qt::NoModifier));
}

class CountingObject : public QObject {
public:
    int events = 0;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::User) {
            ++events;
            return true;
        }
        return QObject::event(e);
    }
};

} // namespace

TEST(WaitCursor, BeginShowsTheWaitCursorAndEndRestoresTheArrow)
{
    EXPECT_FALSE(isWaiting());
    beginWait();
    EXPECT_TRUE(isWaiting());
    EXPECT_EQ(currentShape(), Qt::WaitCursor);
    endWait();
    EXPECT_FALSE(isWaiting());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(WaitCursor, RepeatedBeginIsEndedByOneEnd)
{
    // A failed check ends the wait, shows its message and begins it again; the
    // screen's own end must still bring the arrow back.
    beginWait();
    beginWait();
    endWait();
    EXPECT_FALSE(isWaiting());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    endWait(); // an extra end is harmless
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    beginWait();
    EXPECT_EQ(currentShape(), Qt::WaitCursor);
    endWait(true);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(WaitCursor, TapsQueuedDuringTheWaitAreDiscarded)
{
    DeviceFrame frame;
    QPushButton button("조회", frame.workArea());
    button.setGeometry(10, 10, 60, 26);
    frame.show();
    QSignalSpy clicks(&button, &QPushButton::clicked);
    CountingObject other;

    beginWait();
    queueTap(&button);
    QCoreApplication::postEvent(&other, new QEvent(QEvent::User));
    endWait();
    QCoreApplication::processEvents();
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(other.events, 1) << "other queued events are kept";

    // Taps after the wait work again.
    queueTap(&button);
    QCoreApplication::processEvents();
    EXPECT_EQ(clicks.count(), 1);
}

TEST(WaitCursor, KeepTapsLetsQueuedTapsThrough)
{
    DeviceFrame frame;
    QPushButton button("조회", frame.workArea());
    button.setGeometry(10, 10, 60, 26);
    frame.show();
    QSignalSpy clicks(&button, &QPushButton::clicked);

    beginWait();
    queueTap(&button);
    endWait(true);
    QCoreApplication::processEvents();
    EXPECT_EQ(clicks.count(), 1);
}
