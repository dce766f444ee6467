// The waiting HTTP GET against a tiny server on the loopback interface: a
// reply, an error status, a server that never answers, and nobody listening.

#include <functional>

#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <gtest/gtest.h>

#include "app/http_get.h"

namespace quillan {
namespace {

// Answers every request with what respond gives for the request line; an
// empty answer means the server keeps the connection open and says nothing.
class CTinyServer {
public:
  explicit CTinyServer(std::function<QByteArray(const QByteArray &requestLine)> respond)
      : m_respond(std::move(respond)) {
    QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
      while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
          m_received += socket->readAll();
          if (!m_received.contains("\r\n\r\n")) return;
          QByteArray answer = m_respond(m_received.left(m_received.indexOf("\r\n")));
          if (answer.isEmpty()) return;
          socket->write(answer);
          socket->disconnectFromHost();
        });
      }
    });
    EXPECT_TRUE(m_server.listen(QHostAddress::LocalHost));
  }

  std::string Url(const char *path) const { return "http://127.0.0.1:" + std::to_string(m_server.serverPort()) + path; }
  const QByteArray &Received() const { return m_received; }

private:
  QTcpServer m_server;
  QByteArray m_received;
  std::function<QByteArray(const QByteArray &)> m_respond;
};

QByteArray Response(int status, const QByteArray &reason, const QByteArray &body) {
  return "HTTP/1.1 " + QByteArray::number(status) + " " + reason +
         "\r\nContent-Type: text/plain\r\nContent-Length: " + QByteArray::number(body.size()) +
         "\r\nConnection: close\r\n\r\n" + body;
}

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
