#pragma once

#include <QFont>

namespace vog {

// The one font of every window: "MS Sans Serif" at 8 points, or the closest sans-serif face
// the system has.
QFont sharedFont();

} // namespace vog
