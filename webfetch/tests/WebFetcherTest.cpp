// CWebFetcher against loopback servers: the file, its size and progress
// messages, and every failure leaving the local file as it was.
#include <QDir>
#include <QFile>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>
#include <httplib.h>

#include "CWebFetcher.h"
#include "TestServer.h"

namespace {

using transporttest::RawServer;
using transporttest::TestServer;

// Records the size and progress messages as the updater's window gets them.
class ProgressWindow : public QWidget {
public:
    QList<qint64> sizes;
    QList<qint64> progress;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() == CWebFetchEvent::kSizeEvent) {
            sizes << static_cast<CWebFetchEvent*>(e)->value();
            return true;
        }
        if (e->type() == CWebFetchEvent::kProgressEvent) {
            progress << static_cast<CWebFetchEvent*>(e)->value();
            return true;
        }
        return QWidget::event(e);
    }
};

std::string payload(int size)
{
    std::string s(static_cast<size_t>(size), '\0');
    for (int i = 0; i < size; ++i) s[static_cast<size_t>(i)] = static_cast<char>((i * 7 + i / 256) & 0xFF);
    return s;
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

class WebFetcherTest : public testing::Test {
protected:
    void SetUp() override
    {
        server.onGet("/download/compaq/tvpb_2100.so", [this](const httplib::Request&, httplib::Response& res) {
            res.set_content(body, "application/octet-stream");
        });
        server.onGet("/moved", [](const httplib::Request&, httplib::Response& res) {
            res.status = 302;
            res.set_header("Location", "/download/compaq/tvpb_2100.so");
        });
        server.start();
        local = dir.filePath(QStringLiteral("tvpb_2100.so"));
        QFile old(local);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old library");
    }
    // The local file is untouched and nothing half-written is left beside it.
    void expectUntouched()
    {
        EXPECT_EQ(readAll(local), QByteArray("old library"));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("tvpb_2100.so")});
    }

    std::string body = payload(300 * 1024 + 17);
    TestServer server;
    QTemporaryDir dir;
    QString local;
    CWebFetcher fetcher;
};

TEST_F(WebFetcherTest, FileArrivesWithItsSizeAndRisingProgress)
{
    ProgressWindow window;
    ASSERT_EQ(fetcher.DownloadFile(&window, server.url(QStringLiteral("/download/compaq/tvpb_2100.so")), local, 0), 0);
    EXPECT_EQ(readAll(local), QByteArray::fromStdString(body));
    EXPECT_EQ(window.sizes, QList<qint64>{qint64(body.size())});
    ASSERT_FALSE(window.progress.isEmpty());
    EXPECT_EQ(window.progress.last(), qint64(body.size()));
    EXPECT_TRUE(std::is_sorted(window.progress.begin(), window.progress.end()));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);

    // The information file's form drives a progress bar itself.
    QProgressBar bar;
    const QString info = dir.filePath(QStringLiteral("info"));
    ASSERT_EQ(fetcher.DownloadFile(server.url(QStringLiteral("/download/compaq/tvpb_2100.so")), info, &bar, 0), 0);
    EXPECT_EQ(bar.maximum(), int(body.size()));
    EXPECT_EQ(bar.value(), int(body.size()));
    EXPECT_EQ(fetcher.lastStatus(), 200);
}

TEST_F(WebFetcherTest, AnswersOtherThanAWholeFileAreErrorsNeverFiles)
{
    ProgressWindow window;
    // Not found, and a redirect (never followed).
    EXPECT_EQ(fetcher.DownloadFile(&window, server.url(QStringLiteral("/download/compaq/nothing.so")), local, 0),
              CWebFetcher::NotServed);
    EXPECT_EQ(fetcher.GetErrorMessage(CWebFetcher::NotServed),
              QStringLiteral("다운로드 서버에서 파일을 받을 수 없습니다. (HTTP 404)"));
    EXPECT_EQ(fetcher.DownloadFile(&window, server.url(QStringLiteral("/moved")), local, 0), CWebFetcher::NotServed);
    EXPECT_TRUE(window.sizes.isEmpty());
    expectUntouched();

    // Over the size limit, whether the server announces it or not.
    fetcher.SetMaxBytes(100 * 1024);
    EXPECT_EQ(fetcher.DownloadFile(&window, server.url(QStringLiteral("/download/compaq/tvpb_2100.so")), local, 0),
              CWebFetcher::TooLarge);
    EXPECT_EQ(fetcher.GetErrorMessage(CWebFetcher::TooLarge), QStringLiteral("파일이 허용된 크기보다 큽니다."));
    expectUntouched();
    RawServer unannounced("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + std::string(200 * 1024, 'x'));
    EXPECT_EQ(fetcher.DownloadFile(&window, unannounced.url(QStringLiteral("/f")), local, 0), CWebFetcher::TooLarge);
    expectUntouched();
    fetcher.SetMaxBytes(0);

    // The connection ends half-way through the announced body.
    RawServer cut("HTTP/1.1 200 OK\r\nContent-Length: 5000\r\nConnection: close\r\n\r\n" + std::string(2500, 'y'));
    EXPECT_EQ(fetcher.DownloadFile(&window, cut.url(QStringLiteral("/f")), local, 0), CWebFetcher::Truncated);
    EXPECT_EQ(fetcher.GetErrorMessage(CWebFetcher::Truncated), QStringLiteral("파일을 받는 도중 연결이 끊어졌습니다."));
    expectUntouched();

    // Nobody listening, an address that is not http, a folder that cannot be written.
    EXPECT_EQ(fetcher.DownloadFile(&window, QStringLiteral("http://127.0.0.1:%1/f").arg(transporttest::closedPort()),
                                   local, 0),
              CWebFetcher::CannotConnect);
    EXPECT_EQ(fetcher.DownloadFile(&window, QStringLiteral("ftp://127.0.0.1/f"), local, 0), CWebFetcher::BadAddress);
    EXPECT_EQ(fetcher.DownloadFile(&window, server.url(QStringLiteral("/download/compaq/tvpb_2100.so")),
                                   dir.filePath(QStringLiteral("no/such/folder/f")), 0),
              CWebFetcher::CannotWrite);
    expectUntouched();
    for (int code = 1; code <= 8; ++code) EXPECT_FALSE(fetcher.GetErrorMessage(code).isEmpty()) << code;
}

} // namespace
