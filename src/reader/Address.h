#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace vog {

// Whether a word reads as a node's address: zone:net/node, optionally .point and @domain, every
// part but the domain a number; the domain holds no blank, control character, quote or @.
bool isNodeAddress(QByteArrayView word);
bool isNodeAddress(QStringView word);
// Why a text is no node's address, for the user; empty for an address.
QString addressRefusal(const QString &address);

} // namespace vog
