#pragma once
// An HTTP GET that waits for its reply in a local event loop, so the window
// keeps painting and its timers keep running, and gives up after a time-out.
// Failures come back in the reply (status 0 and a reason), never as
// exceptions or message boxes.

#include <functional>
#include <memory>
#include <string>

#include <QPointer>

#include "platform/platform.h"

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

namespace quillan {

CHttpReply HttpGetWaiting(QNetworkAccessManager &manager, const std::string &url, int timeoutMs);

// An HTTP GET that does not wait: done runs once, from the event loop, with
// the reply, the failure or the time-out; Cancel ends the request and gives
// done a reply marked cancelled. Destroying the request drops it quietly.
class CHttpRequest {
public:
  CHttpRequest(QNetworkAccessManager &manager, const std::string &url, int timeoutMs,
               std::function<void(const CHttpReply &)> done);
  ~CHttpRequest();
  CHttpRequest(const CHttpRequest &) = delete;
  CHttpRequest &operator=(const CHttpRequest &) = delete;

  void Cancel();
  // Ends the request without calling done.
  void Drop();
  bool Finished() const { return m_finished; }

private:
  void Finish(CHttpReply reply);

  std::function<void(const CHttpReply &)> m_done;
  QPointer<QNetworkReply> m_reply; // owned by the manager, which may go first
  std::unique_ptr<QTimer> m_timer;
  int m_timeoutMs = 0;
  bool m_timedOut = false;
  bool m_cancelled = false;
  bool m_finished = false;
};

} // namespace quillan
