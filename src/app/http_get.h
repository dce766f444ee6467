#pragma once
// An HTTP GET that waits for its reply in a local event loop, so the window
// keeps painting and its timers keep running, and gives up after a time-out.
// Failures come back in the reply (status 0 and a reason), never as
// exceptions or message boxes.

#include <string>

#include "platform/platform.h"

class QNetworkAccessManager;

namespace quillan {

CHttpReply HttpGetWaiting(QNetworkAccessManager &manager, const std::string &url, int timeoutMs);

} // namespace quillan
