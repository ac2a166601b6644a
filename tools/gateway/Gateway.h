#pragma once
// The service gateway: answers the client's addresses under /MV/SDA/Go.asp?sn=lhb, chosen by the
// a= query item (login, report, ggcg, help, update), plus the style sheet, the passport notice,
// the report documents and jQuery that those pages load. It listens on 127.0.0.1 only.

#include "GatewayHoldings.h"
#include "GatewayPassport.h"
#include "GatewayUpdate.h"

#include <QAbstractHttpServer>
#include <QDateTime>
#include <QHash>
#include <QHttpServerRequest>
#include <QList>
#include <QPair>
#include <QUrl>

class TGateway : public QAbstractHttpServer
{
    Q_OBJECT

public:
    static const QString DefaultJquery; // Debian's libjs-jquery
    static constexpr qsizetype MaxBody = 64 * 1024;

    struct TReply
    {
        int Status = 200;
        QByteArray Type;
        QByteArray Body;
        QList<QPair<QByteArray, QByteArray>> Headers;
        void Add(const QByteArray &name, const QByteArray &value) { Headers.append(qMakePair(name, value)); }
    };

    // rootDir holds Data/ggcg.json, the holdings data file, and the data set and program copies
    // (Update/Client, Update/Download) that the update route offers.
    explicit TGateway(const QString &rootDir, QObject *parent = nullptr);

    // Listens on 127.0.0.1 at port (0 picks a free one); false with the system's reason otherwise.
    bool Listen(quint16 port, QString &error);
    quint16 Port() const;
    void SetJqueryFile(const QString &path) { m_jqueryFile = path; }
    QString HoldingsFile() const;

    // The answer to one request; base is "http://host:port" of the gateway as the client reached it.
    TReply Reply(QHttpServerRequest::Method method, const QUrl &url, const QByteArray &cookie,
                 const QByteArray &contentType, const QByteArray &body, const QString &base);

protected:
    bool handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) override;
    void missingHandler(const QHttpServerRequest &request, QTcpSocket *socket) override;

private:
    TReply Go(QHttpServerRequest::Method method, const QUrl &url, const QByteArray &cookie,
              const QByteArray &contentType, const QByteArray &body, const QString &base);
    TReply Login(QHttpServerRequest::Method method, const QByteArray &cookie, const QByteArray &contentType,
                 const QByteArray &body);
    TReply Ggcg(const QString &m, const QString &r);
    TReply Static(const QString &path);
    TReply UpdateManifest();
    TReply UpdateFile(const QString &path);
    bool LoadHoldings(QString &error);

    QString m_root;
    QString m_jqueryFile;
    TGatewayPassport m_passport;
    TGatewayHoldings m_holdings;
    TGatewayUpdate m_update;
    bool m_holdingsLoaded = false;
    QDateTime m_holdingsTime;
    qint64 m_holdingsSize = -1;
};
