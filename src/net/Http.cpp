#include "Http.h"

#include "data/Stock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

#include <climits>

QString HttpGet(const QString &Url, const QString &Cookie, int Timeout, qint64 maxBody)
{
    const QUrl url(Url);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != u"http" && scheme != u"https") || url.host().isEmpty())
        return QString();
    // A line break in the cookie would start a header of its own.
    if (Cookie.contains(u'\r') || Cookie.contains(u'\n') || Cookie.contains(QChar(0)))
        return QString();
    if (!QCoreApplication::instance())
        return QString();

    QNetworkAccessManager manager; // one per call: no cookies or connections carry over
    QNetworkRequest request(url);
    request.setRawHeader("Pragma", "no-cache");
    if (!Cookie.isEmpty())
        request.setRawHeader("Cookie", ToGbk(Cookie));
    // Aborts once no byte has moved for this long; 0 would mean waiting for ever.
    request.setTransferTimeout(qBound(1, Timeout, INT_MAX / 1000) * 1000);

    QNetworkReply *reply = manager.get(request);
    QByteArray body;
    bool tooLarge = false;
    auto refuse = [&]() {
        tooLarge = true;
        reply->abort();
    };
    auto take = [&]() {
        if (tooLarge || !reply->isOpen())
            return;
        if (body.size() + reply->bytesAvailable() > maxBody) {
            refuse();
            return;
        }
        body += reply->readAll();
    };
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [&]() {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (!tooLarge && length.isValid() && length.toLongLong() > maxBody)
            refuse();
    });
    QObject::connect(reply, &QNetworkReply::readyRead, reply, take);

    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    take();

    QString result;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    // The two authentication answers hand their page to the caller like a success.
    const bool answered = status == 401 || status == 407
        || (reply->error() == QNetworkReply::NoError && status > 0 && status < 400);
    if (answered && !tooLarge)
        result = FromGbk(body);
    // No handler may run on the locals above while the reply goes away.
    reply->disconnect();
    delete reply;
    return result;
}
