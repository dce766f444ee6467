#pragma once
// A tiny HTTP server on the loopback interface for the tests of the
// translation request.

#include <functional>
#include <string>

#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>

namespace quillan::testing {

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

inline QByteArray Response(int status, const QByteArray &reason, const QByteArray &body) {
  return "HTTP/1.1 " + QByteArray::number(status) + " " + reason +
         "\r\nContent-Type: text/plain\r\nContent-Length: " + QByteArray::number(body.size()) +
         "\r\nConnection: close\r\n\r\n" + body;
}

} // namespace quillan::testing
