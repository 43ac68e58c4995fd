#pragma once

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
    QStringList includes; // the names on its "include " lines, in order
};

// Reads the files named by the lines given, then the files that those name, depth first in
// the order written, each at most once and none that was already read in this run. A relative
// name is taken against the folder of the file whose line named it, or of the file read last
// for a line without an origin. read reads one file and tells what it read, also when it
// throws. Files that can't be read don't stop the walk: when it ends, one IoError lists each
// with its reason.
void walkIncludes(const QStringList &names, const std::vector<Origin> &origins,
                  const std::function<void(const QString &path, IncludedRead &read)> &read);

// The absolute path of an included file's name, by the rule above.
QString includedPath(const QString &name, const Origin &origin);

} // namespace vog
