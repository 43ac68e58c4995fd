#include "DocumentView.h"

namespace vog {

// The fields already show what a save wrote: what the user made of them.
void showSavedValues() {}

} // namespace vog
