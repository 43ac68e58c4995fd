#pragma once

#include "ConfigDocument.h"
#include "SafeWrite.h"

#include <QString>

#include <map>
#include <memory>
#include <vector>

namespace vog {

// A save up to the write: every file with a change read again (it must still be what was
// read), its new bytes rendered and what changes in it as a unified diff. Files whose changes
// come to their own bytes again are left out. File > Save shows the diffs before it writes;
// the command line prints them.
struct PreparedSave
{
    SavePlan plan;
    std::vector<int> files;        // the files to write, in the order read
    std::vector<FileWrite> writes; // each one's bytes as read and new bytes
    std::vector<QString> diffs;    // each one's diff
    std::vector<QString> backups;  // each one's .bak that the write keeps, or an empty name
    // What the writes' pieces stand in (bytes, mappings of files), held until the save ends:
    // the write lets go of its own bytes as read before it writes.
    std::vector<std::shared_ptr<const void>> held;
};

// Each write has its new bytes as pieces of the bytes as read (or of a file's bytes after a
// link edit) and of the plan, with no copy of them all: the preview is shown, and the file
// written, without one. Throws a CommandError, having written nothing, when a file changed on
// disk or can't be read, or a change can't be written in its file.
PreparedSave prepareSave(const ConfigDocument &doc);
// A save whose caller kept the bytes each file was read from, by file: those are the bytes as
// read, not read again (the write looks at the disk before it renames anything). For a save
// that commitSave doesn't follow.
PreparedSave prepareSave(const ConfigDocument &doc, const std::map<int, QByteArray> &kept);

// Writes the files (writeFiles), and the document takes their new bytes, joined once they
// are written: its lines move to where they now stand and its changes are done.
void commitSave(ConfigDocument &doc, PreparedSave &save);

} // namespace vog
