// The waiting HTTP GET against a tiny server on the loopback interface: a
// reply, an error status, a server that never answers, and nobody listening.

#include <functional>

#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QTimer>
#include <gtest/gtest.h>

#include "app/http_get.h"
#include "tiny_http_server.h"

namespace quillan {
namespace {

using testing::CTinyServer;
using testing::Response;

TEST(HttpGetTest, GivesTheStatusAndBodyOfTheReply) {
  struct CCase {
    int m_status;
    QByteArray m_body;
  } cases[] = {{200, "Hello, world"}, {404, "no such page"}, {500, ""}};
  for (const CCase &c : cases) {
    CTinyServer server([&](const QByteArray &) { return Response(c.m_status, "Whatever", c.m_body); });
    QNetworkAccessManager manager;
    CHttpReply reply = HttpGetWaiting(manager, server.Url("/translate.php?text=%E3%81%82"), 5000);
    EXPECT_EQ(reply.m_status, c.m_status);
    EXPECT_EQ(reply.m_body, c.m_body.toStdString());
    EXPECT_TRUE(server.Received().startsWith("GET /translate.php?text=%E3%81%82 HTTP/1.1"))
        << server.Received().toStdString();
  }
}

TEST(HttpGetTest, AServerThatNeverAnswersTimesOutWhileTheEventLoopRuns) {
  CTinyServer server([](const QByteArray &) { return QByteArray(); });
  QNetworkAccessManager manager;
  int ticks = 0;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
  timer.start(10);
  QElapsedTimer clock;
  clock.start();
  CHttpReply reply = HttpGetWaiting(manager, server.Url("/translate.php?text=x"), 300);
  qint64 elapsed = clock.elapsed();
  EXPECT_EQ(reply.m_status, 0);
  EXPECT_FALSE(reply.m_error.empty());
  EXPECT_GE(elapsed, 250);
  EXPECT_LT(elapsed, 3000);
  EXPECT_GE(ticks, 5); // timers (and painting) went on during the wait
}

TEST(HttpGetTest, NoServerAndNoAddressAreFailuresNotExceptions) {
  quint16 port;
  {
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    port = closed.serverPort();
  }
  QNetworkAccessManager manager;
  CHttpReply refused = HttpGetWaiting(manager, "http://127.0.0.1:" + std::to_string(port) + "/", 3000);
  EXPECT_EQ(refused.m_status, 0);
  EXPECT_FALSE(refused.m_error.empty());

  CHttpReply garbage = HttpGetWaiting(manager, "not a url", 3000);
  EXPECT_EQ(garbage.m_status, 0);
  EXPECT_FALSE(garbage.m_error.empty());
}

} // namespace
} // namespace quillan
