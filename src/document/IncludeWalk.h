#pragma once

#include "reader/Errors.h"
#include "reader/SourceFiles.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace vog {

// What one file read through an include gave besides its values.
struct IncludedRead
{
    int file = -1;        // its index among the source files
    QStringList includes; // the names on its "include " lines, in order, as written
    std::vector<Origin> origins; // the line of each
};

// A file that could not be read: its path, the Include line that named it, the name as that
// line writes it, and why.
using IncludeFailure = std::function<void(const QString &path, const Origin &line,
                                          const QString &name, const CommandError &why)>;

// Reads the files named by the lines given, then the files that those name, depth first in
// the order written, each at most once and none that was already read in this run. A name is
// expanded as its line's variables say, and a relative one taken against the folder of the
// file whose line named it, or of the file read last for a line without an origin. read reads
// one file from the state of the line that named it and tells what it read, also when it
// throws. Files that can't be read don't stop the walk: each goes to failed; without one, when
// the walk ends, one IoError lists each with its reason.
void walkIncludes(const QStringList &names, const std::vector<Origin> &origins,
                  const std::function<void(const QString &path, const Origin &from,
                                           IncludedRead &read)> &read,
                  const IncludeFailure &failed = {});

// The absolute path of an included file's name, by the rule above. Throws a CommandError for
// a name that holds a word in back quotes, which would be run to find the name.
QString includedPath(const QString &name, const Origin &origin);

} // namespace vog
