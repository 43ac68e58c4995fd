#include "SafeWrite.h"

#include "reader/ConfigFile.h"
#include "reader/Errors.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <QStringList>

#include <xxhash.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include <sys/stat.h>
#include <unistd.h>

namespace vog {

namespace {

[[noreturn]] void changedOnDisk(const QString &path)
{
    throw CommandError(path
                       + QStringLiteral(" was changed on disk after it was read; open it again "
                                        "to edit it"));
}

// The file's bytes, or a CommandError naming it as the user opened it: gone or no longer a
// regular file is a change.
QByteArray readAgain(const QString &path, const QString &name)
{
    QByteArray bytes;
    try {
        const ConfigFile file(path);
        // In one buffer of the file's size, and a byte more to see it grow.
        struct stat st;
        bytes.resize(::fstat(file.descriptor(), &st) == 0 ? qsizetype(st.st_size) + 1 : 4096);
        qsizetype got = 0;
        for (;;) {
            if (got == bytes.size())
                bytes.resize(2 * got);
            const ssize_t n = ::read(file.descriptor(), bytes.data() + got,
                                     std::size_t(bytes.size() - got));
            if (n == 0)
                break;
            if (n < 0 && errno != EINTR)
                throw IoError(errno, ioErrorMessage(errno));
            got += std::max<ssize_t>(n, 0);
        }
        bytes.truncate(got);
    } catch (const IoError &e) {
        if (e.errorNumber() == ENOENT || e.errorNumber() == ENOTDIR
            || !QFileInfo(path).isFile())
            changedOnDisk(name);
        throw CommandError(name + QStringLiteral(" can't be read again: ") + e.message());
    }
    return bytes;
}

// The files whose bytes as read were kept as .bak in this run, by the path written.
QSet<QString> &keptAsRead()
{
    static QSet<QString> kept;
    return kept;
}

QString reason(int errorNumber)
{
    return QString::fromLocal8Bit(std::strerror(errorNumber));
}

// One file's new bytes in a temporary file beside it, with the file's permission bits, owner
// and group, written to the disk: only the rename is left.
std::unique_ptr<QSaveFile> prepare(const QString &target, const QByteArray &bytes,
                                   const struct stat &st, const QString &name)
{
    auto file = std::make_unique<QSaveFile>(target);
    const auto failed = [&](const QString &why) {
        return CommandError(name + QStringLiteral(" can't be written: ") + why);
    };
    if (!file->open(QIODevice::WriteOnly))
        throw failed(file->errorString());
    const int fd = file->handle();
    // Only root can give a file away; the owner may keep a file whose group isn't one of
    // theirs, which then takes their own.
    if (::fchown(fd, st.st_uid, st.st_gid) != 0 && !(errno == EPERM && st.st_uid == ::geteuid()))
        throw CommandError(name + QStringLiteral(": its owner and group can't be kept: ")
                           + reason(errno));
    // After the owner: a change of owner clears the set-user-ID and set-group-ID bits.
    if (::fchmod(fd, st.st_mode & 07777) != 0)
        throw CommandError(name + QStringLiteral(": its permissions can't be kept: ")
                           + reason(errno));
    if (file->write(bytes) != bytes.size() || !file->flush())
        throw failed(file->errorString());
    if (::fsync(fd) != 0)
        throw failed(reason(errno));
    return file;
}

} // namespace

QByteArray readUnchanged(const SourceFile &file)
{
    QByteArray bytes = readAgain(file.path, file.path);
    if (bytes.size() != file.size
        || XXH3_64bits(bytes.constData(), std::size_t(bytes.size())) != file.fingerprint)
        changedOnDisk(file.path);
    return bytes;
}

QString backupToWrite(const QString &path)
{
    const QString target = QFileInfo(path).canonicalFilePath();
    return target.isEmpty() || keptAsRead().contains(target) ? QString()
                                                              : target + QStringLiteral(".bak");
}

void writeFiles(const std::vector<FileWrite> &files)
{
    struct Prepared
    {
        std::unique_ptr<QSaveFile> file;
        QString name;
        QString kept; // the file whose .bak this is, if it is one
    };
    std::vector<Prepared> backups, writes;
    const auto cancel = [&] {
        for (auto *list : {&backups, &writes})
            for (Prepared &p : *list)
                p.file->cancelWriting();
    };
    try {
        QStringList targets;
        for (const FileWrite &f : files) {
            // Written where the link points; the link stays as it is.
            const QString target = QFileInfo(f.path).canonicalFilePath();
            struct stat st;
            if (target.isEmpty() || ::stat(QFile::encodeName(target).constData(), &st) != 0)
                changedOnDisk(f.path);
            if (targets.contains(target))
                throw CommandError(f.path + QStringLiteral(" was read twice under two names; "
                                                           "open it once to edit it"));
            targets.append(target);
            if (const QString bak = backupToWrite(target); !bak.isEmpty())
                backups.push_back({prepare(bak, f.asRead, st, bak), bak, target});
            writes.push_back({prepare(target, f.bytes, st, f.path), f.path, {}});
        }
        // The last look before anything is renamed.
        for (std::size_t i = 0; i < files.size(); ++i)
            if (readAgain(targets[qsizetype(i)], files[i].path) != files[i].asRead)
                changedOnDisk(files[i].path);
        for (auto *list : {&backups, &writes})
            for (Prepared &p : *list) {
                if (!p.file->commit())
                    throw CommandError(p.name + QStringLiteral(" can't be written: ")
                                       + p.file->errorString());
                if (!p.kept.isEmpty())
                    keptAsRead().insert(p.kept);
            }
    } catch (...) {
        cancel();
        throw;
    }
}

} // namespace vog
