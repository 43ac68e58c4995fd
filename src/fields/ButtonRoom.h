#pragma once

#include <QSize>

class QPushButton;

namespace vog {

// The size for a push button drawn at `drawn`: that size, grown by whatever its caption lacks
// in the button's current font, so that a larger font never cuts the caption off.
QSize buttonRoom(const QPushButton *button, const QSize &drawn);

} // namespace vog
