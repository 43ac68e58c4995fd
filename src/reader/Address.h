#pragma once

#include <QStringView>

namespace vog {

// Whether a word reads as a node's address: zone:net/node, optionally .point and @domain, every
// part but the domain a number.
bool isNodeAddress(QStringView word);

} // namespace vog
