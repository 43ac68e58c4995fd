#pragma once

class QWidget;

namespace vog {

// File > Save: every file with a change is read again and must still be what was read, its
// new bytes are rendered, and the preview shows what changes; on Save the files are written
// safely (document/SafeWrite.h) and the document takes their new bytes. Returns how many files
// were written, or -1 when the preview was cancelled. Throws a CommandError, having written
// nothing, when any step fails.
int saveChanges(QWidget *parent);

} // namespace vog
