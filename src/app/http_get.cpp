#include "app/http_get.h"

#include <algorithm>

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

namespace quillan {

CHttpReply HttpGetWaiting(QNetworkAccessManager &manager, const std::string &url, int timeoutMs) {
  CHttpReply result;
  QUrl address(QString::fromStdString(url));
  if (!address.isValid() || address.scheme().isEmpty()) {
    result.m_error = "not a valid address: " + url;
    return result;
  }
  QNetworkRequest request(address);
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
  QNetworkReply *reply = manager.get(request);

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
  reply->deleteLater();
  return result;
}

} // namespace quillan
