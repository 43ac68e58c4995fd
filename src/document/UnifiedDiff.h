#pragma once

#include "reader/Codepage.h"

#include <QByteArrayView>
#include <QString>

#include <vector>

namespace vog {

// What a save changes in one file, as a unified diff: "--- path" and "+++ path", then one hunk
// "@@ -a,b +c,d @@" per group of changed lines with three lines of context around it, removed
// lines before added ones; a last line without a line end is followed by "\ No newline at end
// of file". Lines end where the reader ends them (LF, CR LF or a lone CR) and show as the
// program shows them, each decoded by the file's codec. Empty when the bytes are the same.
// Its cost grows with the lines between the first change and the last, not with the file.
QString unifiedDiff(const QString &path, QByteArrayView before, QByteArrayView after,
                    const TextCodec &codec);
// The same, the new bytes given as the pieces they are written from: a piece that is bytes as
// read, in their order, is not compared, so the cost grows with the lines of the other pieces
// and their context alone, however far apart they stand.
QString unifiedDiff(const QString &path, QByteArrayView before,
                    const std::vector<QByteArrayView> &after, const TextCodec &codec);

} // namespace vog
