#pragma once

#include "reader/SourceFiles.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

namespace vog {

// The file's bytes on disk now, when they are still the bytes that were read: the same size
// and fingerprint. A file changed since, or gone, throws a CommandError "FILE was changed on
// disk after it was read; open it again to edit it"; one that can't be read, its reason.
// A file not on disk yet (File > New) has no bytes, as long as no file has taken its name.
QByteArray readUnchanged(const SourceFile &file);

// The same for a save, with no copy of a long file: its bytes stand in a mapping of it
// (FileMapping) that keep holds, and that they last no longer than. A short file is read.
QByteArray readUnchanged(const SourceFile &file, std::shared_ptr<const void> &keep);

// Every byte of a file open for reading, in one block. A failed read throws an IoError.
QByteArray readWhole(int fd);
// The same, for a file of 1 MB or more mapped where the system caches it (FileMapping) rather
// than copied into fresh memory; keep holds the mapping, which the bytes need.
QByteArray readWhole(int fd, std::shared_ptr<const void> &keep);

// One file of a save: its path as opened, its bytes as read and checked, and its new bytes.
// A created file was not on disk: it is made, and no file of its name may be there.
struct FileWrite
{
    QString path;
    QByteArray asRead;
    QByteArray bytes;
    bool created = false;
    std::optional<quint64> fingerprint; // asRead's, where known (the file's as read)
    // The new bytes as the pieces they are made of, written in order instead of bytes when
    // given: a long file changed in a few places is written without a copy of it all.
    std::vector<QByteArrayView> pieces;
};

// Writes every file's new bytes, or none. A file reached through a symbolic link is written at
// the link's target, and the link stays. Before a file is first written in this run, its bytes
// as read are kept beside it as FILE.bak. Each file is first written in full to a temporary
// file in its folder, with the file's permission bits, owner and group, and synced; its .bak
// is a second name of the file as read (a copy written the same way where the file has other
// names or the file system has no second names). Each file is read once more while its new
// bytes are written and must still be what was read, and still have the size and times of
// change it had before that look, once the writes are synced; only then are the temporary
// names renamed over the .bak files and the files, in that order. A file that
// can't be written, a full disk, an owner that can't be kept or a file changed meanwhile
// throws a CommandError naming the file and the reason, and leaves every file as it was.
// A created file is written the same way, with what the system gives a new file of the user's
// (permissions under the umask, the user's owner) and no .bak, then or in a later save of
// this run: there were no bytes before it.
// The files' bytes as read are let go (emptied) once their .bak is made, before their new
// bytes are written, so that a save holds no copy of a long file that nothing else needs; the
// last look compares each file with their size and fingerprint. The second form leaves the
// caller's bytes as they are.
void writeFiles(std::vector<FileWrite> &files);
void writeFiles(const std::vector<FileWrite> &files);

// The .bak that writeFiles would write for the file at this path, or an empty name once this
// run has kept its bytes as read.
QString backupToWrite(const QString &path);

} // namespace vog
