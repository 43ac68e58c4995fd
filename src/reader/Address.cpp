#include "Address.h"

#include "Text.h"

namespace vog {

bool isNodeAddress(QByteArrayView w)
{
    qsizetype i = 0;
    const auto digits = [&] {
        const qsizetype start = i;
        while (i < w.size() && w[i] >= '0' && w[i] <= '9')
            ++i;
        return i > start;
    };
    if (!digits() || i == w.size() || w[i++] != ':' || !digits() || i == w.size()
        || w[i++] != '/' || !digits())
        return false;
    if (i < w.size() && w[i] == '.') {
        ++i;
        if (!digits())
            return false;
    }
    if (i == w.size())
        return true;
    if (w[i++] != '@' || i == w.size())
        return false;
    for (; i < w.size(); ++i)
        if (quint8(w[i]) <= 32 || w[i] == '"' || w[i] == '@')
            return false;
    return true;
}

bool isNodeAddress(QStringView word)
{
    for (const QChar c : word)
        if (c.unicode() > 127)
            return false;
    return isNodeAddress(QByteArrayView(word.toLatin1()));
}

QString addressRefusal(const QString &address)
{
    return isNodeAddress(QStringView(address))
            ? QString()
            : QStringLiteral("The address reads as zone:net/node, optionally .point and @domain.");
}

} // namespace vog
