#pragma once

#include <vector>

namespace vog {

struct KeywordRow;

// The windows showing the document again where a command changed it.

// After an Open: a file read again keeps the user's changes, shown again over what it says; any
// other file that sets a keyword shows its value, which ends the user's change of it: the
// document records the value shown, taken from the document, not from the field.
void showChanges(bool fileReadAgain);

// Once the Open has read a file, to its end or to the line that stopped it: the field of each
// row it set shows what it says, naming its line, and each line list its lines after those it
// shows; a list the user changed has them after the user's lines in its change too. A user's
// change of a one-value row is left for showChanges to settle.
void showFileRead(int file);

// After a save: every field shows the files as they now are, naming its new line, and the link
// shown is loaded again. A line list the save didn't change keeps its text and only learns
// where its lines now stand.
void showSavedValues(const std::vector<const KeywordRow *> &listsSaved);

// Every editor window shows the document as it now is, as windows made for it would (File > New).
void showDocument();

} // namespace vog
