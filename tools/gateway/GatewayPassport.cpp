#include "GatewayPassport.h"

#include <QRandomGenerator>

const QByteArray TGatewayPassport::CookieName = QByteArrayLiteral("MVSID");

QByteArray TGatewayPassport::SignIn(const QString &user)
{
    quint32 words[4];
    QRandomGenerator::system()->fillRange(words);
    const QByteArray token = QByteArray(reinterpret_cast<const char *>(words), sizeof words).toHex();
    while (m_order.size() >= MaxSessions)
        m_users.remove(m_order.takeFirst());
    m_users.insert(token, user);
    m_order.append(token);
    return token;
}

void TGatewayPassport::SignOut(const QByteArray &token)
{
    if (m_users.remove(token))
        m_order.removeOne(token);
}

QByteArray TGatewayPassport::TokenOf(const QByteArray &cookieHeader)
{
    const QList<QByteArray> parts = cookieHeader.split(';');
    for (const QByteArray &part : parts) {
        const QByteArray p = part.trimmed();
        if (p.startsWith(CookieName + '='))
            return p.mid(CookieName.size() + 1);
    }
    return QByteArray();
}

QString TGatewayPassport::UserOf(const QByteArray &cookieHeader) const
{
    const QByteArray token = TokenOf(cookieHeader);
    return token.isEmpty() ? QString() : m_users.value(token);
}

QString TGatewayPassport::CheckUser(const QString &user)
{
    if (user.isEmpty())
        return QStringLiteral("请输入用户名。");
    if (user.size() > MaxUserLength)
        return QStringLiteral("用户名不能超过 %1 个字符。").arg(MaxUserLength);
    for (const QChar c : user)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return QStringLiteral("用户名含有不可用的字符。");
    return QString();
}
