#include "app/http_get.h"

#include <algorithm>

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

namespace quillan {

namespace {

CHttpReply ReplyOf(QNetworkReply *reply, bool timedOut, int timeoutMs) {
  CHttpReply result;
  QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
  if (timedOut) {
    result.m_error = "no reply within " + std::to_string(timeoutMs) + " ms";
  } else if (status.isValid()) {
    result.m_status = status.toInt();
    QByteArray body = reply->readAll();
    result.m_body.assign(body.constData(), size_t(body.size()));
    if (reply->error() != QNetworkReply::NoError && result.m_status < 400)
      result.m_error = reply->errorString().toStdString();
  } else {
    result.m_error = reply->errorString().toStdString();
  }
  return result;
}

QNetworkReply *Get(QNetworkAccessManager &manager, const QUrl &address) {
  QNetworkRequest request(address);
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
  return manager.get(request);
}

bool Usable(const QUrl &address) { return address.isValid() && !address.scheme().isEmpty(); }

} // namespace

CHttpReply HttpGetWaiting(QNetworkAccessManager &manager, const std::string &url, int timeoutMs) {
  CHttpReply result;
  QUrl address(QString::fromStdString(url));
  if (!Usable(address)) {
    result.m_error = "not a valid address: " + url;
    return result;
  }
  QNetworkReply *reply = Get(manager, address);

  QEventLoop loop;
  QTimer timer;
  timer.setSingleShot(true);
  timer.setTimerType(Qt::PreciseTimer);
  bool timedOut = false;
  QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
    timedOut = true;
    reply->abort(); // finished() follows and ends the loop
  });
  QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
  timer.start(std::max(timeoutMs, 1));
  if (!reply->isFinished()) loop.exec(QEventLoop::ExcludeUserInputEvents);
  timer.stop();

  result = ReplyOf(reply, timedOut, timeoutMs);
  reply->deleteLater();
  return result;
}

CHttpRequest::CHttpRequest(QNetworkAccessManager &manager, const std::string &url, int timeoutMs,
                           std::function<void(const CHttpReply &)> done)
    : m_done(std::move(done)), m_timer(std::make_unique<QTimer>()), m_timeoutMs(std::max(timeoutMs, 1)) {
  QUrl address(QString::fromStdString(url));
  if (!Usable(address)) {
    // Told from the event loop too, like every other outcome.
    CHttpReply failure;
    failure.m_error = "not a valid address: " + url;
    QTimer::singleShot(0, m_timer.get(), [this, failure] { Finish(failure); });
    return;
  }
  m_reply = Get(manager, address);
  m_timer->setSingleShot(true);
  m_timer->setTimerType(Qt::PreciseTimer);
  QObject::connect(m_timer.get(), &QTimer::timeout, m_timer.get(), [this] {
    m_timedOut = true;
    m_reply->abort(); // finished() follows
  });
  QObject::connect(m_reply.data(), &QNetworkReply::finished, m_timer.get(), [this] {
    m_timer->stop();
    CHttpReply reply;
    if (m_cancelled) {
      reply.m_cancelled = true;
      reply.m_error = "cancelled";
    } else {
      reply = ReplyOf(m_reply, m_timedOut, m_timeoutMs);
    }
    Finish(std::move(reply));
  });
  m_timer->start(m_timeoutMs);
}

CHttpRequest::~CHttpRequest() {
  m_done = nullptr;
  m_timer->stop();
  if (m_reply) {
    QObject::disconnect(m_reply.data(), nullptr, m_timer.get(), nullptr);
    if (!m_reply->isFinished()) m_reply->abort();
    m_reply->deleteLater();
  }
}

void CHttpRequest::Cancel() {
  if (m_finished) return;
  m_cancelled = true;
  if (m_reply && !m_reply->isFinished()) {
    m_reply->abort(); // finished() follows at once
    return;
  }
  CHttpReply reply;
  reply.m_cancelled = true;
  reply.m_error = "cancelled";
  Finish(std::move(reply));
}

void CHttpRequest::Drop() {
  m_done = nullptr;
  m_finished = true;
  m_timer->stop();
  if (m_reply && !m_reply->isFinished()) m_reply->abort();
}

void CHttpRequest::Finish(CHttpReply reply) {
  if (m_finished) return;
  m_finished = true;
  if (auto done = std::move(m_done)) done(reply); // may destroy this request: nothing after it
}

} // namespace quillan
