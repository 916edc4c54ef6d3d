#include "shell/VersionFetch.h"

#include "platform/Log.h"
#include "res/StringTable.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cstdlib>

namespace shell {

namespace {

bool IsHttpUrl(const QUrl& url) {
    return url.isValid() && !url.host().isEmpty() &&
           (url.scheme() == "http" || url.scheme() == "https");
}

} // namespace

std::string UpdateCheckUrl() {
    const char* env = std::getenv("CORVELLA_UPDATE_URL");
    return env && *env ? std::string(env) : res::LoadString(144);
}

std::optional<std::string> FetchVersionFile(const FetchOptions& options) {
    const QUrl url(
        QString::fromStdString(options.strUrl.empty() ? UpdateCheckUrl() : options.strUrl));
    if (!IsHttpUrl(url)) {
        platform::LogVerbose("update check: not an HTTP address: " + options.strUrl);
        return std::nullopt;
    }
    QNetworkAccessManager manager;
    QNetworkRequest request(url);
    request.setTransferTimeout(options.nTimeoutMs);
    QNetworkReply* reply = manager.get(request);
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    bool timedOut = false;
    bool full = false;
    QByteArray data;
    QObject::connect(&deadline, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        reply->abort();
    });
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, [&] {
        data += reply->read(qint64(options.nMaxBytes) - data.size());
        if (std::size_t(data.size()) >= options.nMaxBytes) {
            full = true;
            reply->abort(); // enough: the rest is not read
        }
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    deadline.start(options.nTimeoutMs);
    if (!reply->isFinished())
        loop.exec();
    if (!full && !timedOut)
        data += reply->read(qint64(options.nMaxBytes) - data.size());
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    // The version file is text: an image or a program the server sends instead is refused.
    const bool text = reply->header(QNetworkRequest::ContentTypeHeader)
                          .toString()
                          .trimmed()
                          .startsWith("text/", Qt::CaseInsensitive);
    // A length that is no number is a broken answer, whatever followed it.
    const QByteArray length = reply->rawHeader("Content-Length").trimmed();
    const bool badLength =
        reply->hasRawHeader("Content-Length") &&
        (length.isEmpty() ||
         !std::all_of(length.begin(), length.end(), [](char c) { return c >= '0' && c <= '9'; }));
    const bool failed = timedOut || (!full && reply->error() != QNetworkReply::NoError) ||
                        status < 200 || status > 299 || !text || badLength;
    if (failed) {
        platform::LogVerbose("update check failed: " + (text ? reply->errorString().toStdString()
                                                             : std::string("not a text file")));
    }
    delete reply;
    if (failed || data.contains('\0'))
        return std::nullopt;
    return data.toStdString();
}

} // namespace shell
