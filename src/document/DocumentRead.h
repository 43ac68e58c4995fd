#pragma once

#include "reader/ConfigRead.h"
#include "reader/SourceFiles.h"

#include <functional>
#include <vector>

namespace vog {

struct ValueLine;

// A file about to be read, added to the source files: its absolute path, the path a save
// writes (symbolic links resolved) and when it was last modified. Gives its index.
int addFileToRead(const QString &fileName);

// Reads one file's lines into the document and its link records, as the Open does: every
// recognised line recorded where it stands, the file's codepage decided once its last line is
// read, and its facts (size, fingerprint, line ends) kept. A file opened by the user starts
// with no link defaults; one read after it, through an include, inherits what it left. The sink sees every line and value
// as the read finds them. A file stopped by a number that doesn't convert is still read to its
// end for its facts, and the error thrown after. A narrower scope records less; the sink
// still sees everything. A file named by an Include line starts from the state of that line:
// its variables and comment character.
void readDocumentFile(LineReader &lines, int file, bool isMain, ConfigSink &sink,
                      const ReadScope &scope = {}, const Origin &includedFrom = {});

// The lines of a window keyword that the file read last set, in the order read: the last of
// all its lines.
std::vector<const ValueLine *> lastFileLines(const KeywordRow &row, int file);

// File > New: the main file of a new configuration, read as a file of no bytes (no lines, no
// links, LF line ends, UTF-8) and not on disk until a save creates it. Gives its index.
// Throws a CommandError, having added nothing, where something of that name exists ("FILE
// exists; open it to edit it") or its folder doesn't; onChecked runs once the name is good,
// before the file is added.
int readNewFile(const QString &fileName, const std::function<void()> &onChecked);

} // namespace vog
