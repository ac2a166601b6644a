#pragma once
// The passport of the demonstration service: any non-empty user name and password sign in, and
// the signed-in state is kept in memory under a random session cookie.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

class TGatewayPassport
{
public:
    static constexpr int MaxSessions = 1000;
    static constexpr int MaxUserLength = 32;
    static const QByteArray CookieName;

    // Starts a session and returns its token.
    QByteArray SignIn(const QString &user);
    void SignOut(const QByteArray &token);
    // The user of the session named in a Cookie header, or empty text.
    QString UserOf(const QByteArray &cookieHeader) const;
    static QByteArray TokenOf(const QByteArray &cookieHeader);

    // An empty text for an acceptable user name, or the reason it is refused.
    static QString CheckUser(const QString &user);

private:
    QHash<QByteArray, QString> m_users;
    QList<QByteArray> m_order; // oldest first, so the oldest session goes when the table is full
};
