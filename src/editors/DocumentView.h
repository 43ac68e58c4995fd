#pragma once

namespace vog {

// After a save: every field shows the document's values again, with the line numbers that
// set them in their tool tips.
void showSavedValues();

} // namespace vog
