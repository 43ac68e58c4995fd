#include "SafeWrite.h"

#include "FileMapping.h"
#include "reader/ConfigFile.h"
#include "reader/Errors.h"
#include "reader/LargePages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <QStringList>

#include <xxhash.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <future>
#include <memory>
#include <new>

#include <fcntl.h>
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

[[noreturn]] void appeared(const QString &path)
{
    throw CommandError(path
                       + QStringLiteral(" appeared on disk after it was chosen as a new file; "
                                        "open it to edit it"));
}

// Whether anything has this name: a file, a folder, a link that leads nowhere.
bool nameTaken(const QString &path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

// Runs read on the file opened again, and says what fails of the file as the user opened it:
// gone or no longer a regular file is a change.
template <typename Read>
void readAgain(const QString &path, const QString &name, Read &&read)
{
    try {
        const ConfigFile file(path);
        read(file.descriptor());
    } catch (const IoError &e) {
        if (e.errorNumber() == ENOENT || e.errorNumber() == ENOTDIR
            || !QFileInfo(path).isFile())
            changedOnDisk(name);
        throw CommandError(name + QStringLiteral(" can't be read again: ") + e.message());
    }
}

// Up to size bytes, 0 at the file's end.
qsizetype readSome(int fd, char *to, qsizetype size)
{
    for (;;) {
        const ssize_t n = ::read(fd, to, std::size_t(size));
        if (n >= 0)
            return n;
        if (errno != EINTR)
            throw IoError(errno, ioErrorMessage(errno));
    }
}

// Whether the file still holds bytes of this size and fingerprint, read a piece at a time: a
// long file costs no second copy.
bool stillHolds(const QString &path, const QString &name, qint64 size, XXH64_hash_t fingerprint)
{
    bool same = false;
    readAgain(path, name, [&](int fd) {
        const std::unique_ptr<XXH3_state_t, XXH_errorcode (*)(XXH3_state_t *)> state(
                XXH3_createState(), &XXH3_freeState);
        if (!state || XXH3_64bits_reset(state.get()) != XXH_OK)
            throw std::bad_alloc();
        QByteArray piece(1 << 20, Qt::Uninitialized);
        qint64 at = 0;
        while (const qsizetype n = readSome(fd, piece.data(), piece.size())) {
            if ((at += n) > size)
                return;
            XXH3_64bits_update(state.get(), piece.constData(), std::size_t(n));
        }
        same = at == size && XXH3_64bits_digest(state.get()) == fingerprint;
    });
    return same;
}

// Whether the file's facts are those taken before: the same file, size and times of change.
bool sameFacts(const struct stat &now, const struct stat &before)
{
    return now.st_dev == before.st_dev && now.st_ino == before.st_ino
            && now.st_size == before.st_size && now.st_mtim.tv_sec == before.st_mtim.tv_sec
            && now.st_mtim.tv_nsec == before.st_mtim.tv_nsec
            && now.st_ctim.tv_sec == before.st_ctim.tv_sec
            && now.st_ctim.tv_nsec == before.st_ctim.tv_nsec;
}

// The last look at a file, read while its new bytes are written, and the facts the file had
// before it began.
struct Look
{
    struct stat before;
    std::future<bool> same;

    // Whether the file still holds its bytes as read and has its facts: a change made since
    // the look began would have moved its change time on. Once only.
    bool stands(const QString &target)
    {
        struct stat now;
        return same.get() && ::stat(QFile::encodeName(target).constData(), &now) == 0
                && sameFacts(now, before);
    }
};

// The files whose bytes as read were kept as .bak in this run, by the path written.
QSet<QString> &keptAsRead()
{
    static QSet<QString> kept;
    return kept;
}

// The system's reason for the call that just failed.
QString reason()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Writes all of these bytes at the descriptor's place in its file; a write that the file
// system refuses only because it goes past the cache is made again through it.
void writeAll(int fd, const char *bytes, qsizetype size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, bytes, std::size_t(size));
        if (n > 0) {
            bytes += n;
            size -= n;
        } else if (n < 0 && errno == EINVAL && (::fcntl(fd, F_GETFL) & O_DIRECT)) {
            if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_DIRECT) != 0)
                throw IoError(errno, ioErrorMessage(errno));
        } else if (n == 0 || errno != EINTR) {
            const int error = n == 0 ? ENOSPC : errno;
            throw IoError(error, ioErrorMessage(error));
        }
    }
}

// A long file's new bytes written straight to the disk, past the system's cache, through two
// blocks of 4 MB, one filled while the other is written. Through the cache, the file's size
// in pages must be found first, which on some machines costs several times the write itself
// (measured on a virtual machine: 52 MB in 160-220 ms through the cache, 40-50 ms straight),
// and the sync that follows writes it all the same. False, with nothing written, for a short
// file or a file system that takes no such writes; the last part of a block, short of a
// page, is written through the cache.
bool writeStraight(int fd, const std::vector<QByteArrayView> &pieces)
{
#if defined(__linux__) && defined(O_DIRECT)
    constexpr qsizetype Align = 4096, Chunk = qsizetype(4) << 20;
    qint64 total = 0;
    for (QByteArrayView bytes : pieces)
        total += bytes.size();
    const int flags = ::fcntl(fd, F_GETFL);
    if (total < 4 * Chunk || flags < 0 || ::fcntl(fd, F_SETFL, flags | O_DIRECT) != 0)
        return false;
    const std::unique_ptr<char, void (*)(void *)> blocks(
            static_cast<char *>(std::aligned_alloc(Align, 2 * Chunk)), &std::free);
    if (!blocks) {
        ::fcntl(fd, F_SETFL, flags);
        return false;
    }
    preferLargePages(blocks.get(), 2 * Chunk);
    std::future<void> writing; // of the block filled before, if any
    const auto write = [&](const char *block, qsizetype size) {
        if (writing.valid())
            writing.get();
        writing = std::async(std::launch::async | std::launch::deferred,
                             [fd, block, size] { writeAll(fd, block, size); });
    };
    char *block = blocks.get();
    qsizetype filled = 0;
    for (QByteArrayView bytes : pieces)
        for (qsizetype at = 0; at < bytes.size();) {
            const qsizetype n = std::min(Chunk - filled, bytes.size() - at);
            std::memcpy(block + filled, bytes.data() + at, std::size_t(n));
            at += n;
            if ((filled += n) == Chunk) {
                write(block, Chunk);
                block = block == blocks.get() ? block + Chunk : blocks.get();
                filled = 0;
            }
        }
    const qsizetype aligned = filled & ~(Align - 1);
    write(block, aligned);
    writing.get();
    if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_DIRECT) != 0)
        throw IoError(errno, ioErrorMessage(errno));
    writeAll(fd, block + aligned, filled - aligned);
    return true;
#else
    (void)fd;
    (void)pieces;
    return false;
#endif
}

// One file's new bytes in a temporary file beside it, with the file's permission bits, owner
// and group (for a new file, none kept: those the system gives it), written; what is left is to
// sync it to the disk, then the rename.
std::unique_ptr<QSaveFile> prepare(const QString &target,
                                   const std::vector<QByteArrayView> &pieces,
                                   const struct stat *kept, const QString &name)
{
    auto file = std::make_unique<QSaveFile>(target);
    const auto failed = [&](const QString &why) {
        return CommandError(name + QStringLiteral(" can't be written: ") + why);
    };
    if (!file->open(QIODevice::WriteOnly))
        throw failed(file->errorString());
    const auto write = [&] {
        try {
            if (writeStraight(file->handle(), pieces))
                return;
        } catch (const IoError &e) {
            throw failed(e.message());
        }
        // 8 MB at a time, each sent on to the disk as soon as it is written, so that the sync
        // that follows waits on little more than the last of them.
        // The chunks are counted across pieces: a page sent on while the next small piece is
        // still to be written into it would make that write wait for the disk.
        constexpr qsizetype Chunk = qsizetype(8) << 20;
        qint64 offset = 0, sent = 0;
        const auto sendOn = [&] {
            if (!file->flush())
                throw failed(file->errorString());
#if defined(__linux__)
            // Only a head start: the sync below is what counts, so a refusal changes nothing.
            if (offset > sent)
                (void)::sync_file_range(file->handle(), sent, offset - sent, SYNC_FILE_RANGE_WRITE);
#endif
            sent = offset;
        };
        for (QByteArrayView bytes : pieces)
            for (qsizetype at = 0; at < bytes.size();) {
                const qsizetype n = std::min(Chunk - (offset - sent), bytes.size() - at);
                if (file->write(bytes.data() + at, n) != n)
                    throw failed(file->errorString());
                at += n;
                offset += n;
                if (offset - sent == Chunk)
                    sendOn();
            }
        sendOn();
    };
    if (!kept) {
        write();
        return file;
    }
    const struct stat &st = *kept;
    const int fd = file->handle();
    // Only root can give a file away; the owner may keep a file whose group isn't one of
    // theirs, which then takes their own.
    if (::fchown(fd, st.st_uid, st.st_gid) != 0 && !(errno == EPERM && st.st_uid == ::geteuid())) {
        const QString why = reason();
        throw CommandError(name + QStringLiteral(": its owner and group can't be kept: ") + why);
    }
    // After the owner: a change of owner clears the set-user-ID and set-group-ID bits.
    if (::fchmod(fd, st.st_mode & 07777) != 0) {
        const QString why = reason();
        throw CommandError(name + QStringLiteral(": its permissions can't be kept: ") + why);
    }
    write();
    return file;
}

// A file's new bytes, in one block or in pieces.
std::vector<QByteArrayView> newBytes(const FileWrite &f)
{
    return f.pieces.empty() ? std::vector<QByteArrayView>{f.bytes} : f.pieces;
}

// A file's bytes as read kept as a second name of the file, a temporary one beside the .bak,
// instead of a copy: the rename of the new bytes over the file then leaves them to the .bak
// alone, and nothing is written or synced for it. Only for a file with no other name, whose
// bytes no other name can change in place.
class KeptName
{
public:
    // Whether the name was made; where it can't be (no such names on this file system), a
    // copy keeps the bytes instead.
    bool make(const QString &target, const struct stat &st, const QString &bak)
    {
        if (st.st_nlink != 1)
            return false;
        const QByteArray from = QFile::encodeName(target);
        for (int attempt = 0; attempt < 100; ++attempt) {
            m_temp = QFile::encodeName(
                    QStringLiteral("%1.%2-%3").arg(bak).arg(::getpid()).arg(attempt));
            if (::link(from.constData(), m_temp.constData()) == 0) {
                m_bak = QFile::encodeName(bak);
                m_device = st.st_dev;
                m_inode = st.st_ino;
                return true;
            }
            if (errno != EEXIST)
                break;
        }
        m_temp.clear();
        return false;
    }

    // Whether the name still stands for the file's bytes: the file wasn't replaced meanwhile.
    bool sameFileAs(const QString &target) const
    {
        struct stat now, kept;
        return ::stat(QFile::encodeName(target).constData(), &now) == 0
                && ::lstat(m_temp.constData(), &kept) == 0 && now.st_dev == m_device
                && now.st_ino == m_inode && kept.st_dev == m_device && kept.st_ino == m_inode;
    }

    bool commit()
    {
        if (::rename(m_temp.constData(), m_bak.constData()) != 0)
            return false;
        m_temp.clear();
        return true;
    }

    ~KeptName()
    {
        if (!m_temp.isEmpty())
            ::unlink(m_temp.constData());
    }

private:
    QByteArray m_temp, m_bak;
    dev_t m_device = 0;
    ino_t m_inode = 0;
};

} // namespace

QByteArray readWhole(int fd)
{
    // In one buffer of the file's size, and a byte more to see it grow.
    QByteArray bytes;
    struct stat st;
    bytes.resize(::fstat(fd, &st) == 0 ? qsizetype(st.st_size) + 1 : 4096);
    preferLargePages(bytes.data(), std::size_t(bytes.size()));
    qsizetype got = 0;
    while (const qsizetype n = readSome(fd, bytes.data() + got, bytes.size() - got))
        if ((got += n) == bytes.size())
            bytes.resize(2 * got);
    bytes.truncate(got);
    return bytes;
}

QByteArray readWhole(int fd, std::shared_ptr<const void> &keep)
{
    constexpr qint64 MapFrom = qint64(1) << 20;
    struct stat st;
    if (::fstat(fd, &st) == 0 && st.st_size >= MapFrom)
        if (auto mapping = FileMapping::map(fd, st.st_size)) {
            keep = mapping;
            return mapping->bytes();
        }
    return readWhole(fd);
}

QByteArray readUnchanged(const SourceFile &file)
{
    if (!file.onDisk) {
        if (nameTaken(file.path))
            appeared(file.path);
        return {};
    }
    QByteArray bytes;
    readAgain(file.path, file.path, [&](int fd) { bytes = readWhole(fd); });
    if (bytes.size() != file.size
        || XXH3_64bits(bytes.constData(), std::size_t(bytes.size())) != file.fingerprint)
        changedOnDisk(file.path);
    return bytes;
}

QByteArray readUnchanged(const SourceFile &file, std::shared_ptr<const void> &keep)
{
    constexpr qint64 MapFrom = qint64(1) << 20;
    if (!file.onDisk || file.size < MapFrom)
        return readUnchanged(file);
    std::shared_ptr<const FileMapping> mapping;
    readAgain(file.path, file.path, [&](int fd) {
        struct stat st;
        if (::fstat(fd, &st) == 0 && st.st_size == file.size)
            mapping = FileMapping::map(fd, file.size);
    });
    if (!mapping)
        return readUnchanged(file); // which says why, where the file changed
    const QByteArray bytes = mapping->bytes();
    if (XXH3_64bits(bytes.constData(), std::size_t(bytes.size())) != file.fingerprint)
        changedOnDisk(file.path);
    keep = std::move(mapping);
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
    std::vector<FileWrite> copies = files; // the bytes shared, not copied
    writeFiles(copies);
}

void writeFiles(std::vector<FileWrite> &files)
{
    struct Prepared
    {
        std::unique_ptr<QSaveFile> file; // none for a .bak kept as a second name
        QString name;
        QString kept; // the file whose .bak this is, if it is one
        std::unique_ptr<KeptName> asName;
    };
    std::vector<Prepared> backups, writes;
    const auto cancel = [&] {
        for (auto *list : {&backups, &writes})
            for (Prepared &p : *list)
                if (p.file)
                    p.file->cancelWriting();
        backups.clear(); // a kept name not renamed goes
    };
    try {
        QStringList targets;
        std::vector<Look> looks; // of each file on disk, in order
        // Each file's bytes as read, by size and fingerprint, for the last look.
        std::vector<std::pair<qint64, XXH64_hash_t>> asRead;
        for (FileWrite &f : files) {
            asRead.push_back({f.asRead.size(),
                              f.fingerprint ? XXH64_hash_t(*f.fingerprint)
                                            : XXH3_64bits(f.asRead.constData(),
                                                          std::size_t(f.asRead.size()))});
            if (f.created) {
                // In its folder as it now is, where the folder's name may lead elsewhere.
                const QFileInfo info(f.path);
                const QString folder = info.absoluteDir().canonicalPath();
                if (folder.isEmpty())
                    throw CommandError(f.path + QStringLiteral(" can't be written: its folder "
                                                               "is gone"));
                const QString target = folder + QLatin1Char('/') + info.fileName();
                if (nameTaken(target))
                    appeared(f.path);
                targets.append(target);
                writes.push_back(
                        {prepare(target, newBytes(f), nullptr, f.path), f.path, {}, nullptr});
                continue;
            }
            // Written where the link points; the link stays as it is.
            const QString target = QFileInfo(f.path).canonicalFilePath();
            struct stat st;
            if (target.isEmpty() || ::stat(QFile::encodeName(target).constData(), &st) != 0)
                changedOnDisk(f.path);
            if (targets.contains(target))
                throw CommandError(f.path + QStringLiteral(" was read twice under two names; "
                                                           "open it once to edit it"));
            targets.append(target);
            const QString bak = backupToWrite(target);
            // A save writes a link's target: a .bak that is a link would write elsewhere.
            if (QFileInfo(bak).isSymLink())
                throw CommandError(bak + QStringLiteral(" is a symbolic link; the bytes as read "
                                                        "are kept only in a file of its own"));
            // The .bak is a second name of the file where it can be; made before the last
            // look's facts are taken, as it moves the file's change time on.
            bool copyBak = false;
            if (!bak.isEmpty()) {
                auto asName = std::make_unique<KeptName>();
                if (asName->make(target, st, bak))
                    backups.push_back({nullptr, bak, target, std::move(asName)});
                else
                    copyBak = true;
            }
            // The last look reads the file while its new bytes are written; its facts taken
            // before it began must still stand once the writes are synced.
            struct stat looked;
            if (::stat(QFile::encodeName(target).constData(), &looked) != 0)
                changedOnDisk(f.path);
            const auto [size, fingerprint] = asRead.back();
            looks.push_back({looked, std::async(std::launch::async | std::launch::deferred,
                                                [target, path = f.path, size = size,
                                                 fingerprint = fingerprint] {
                                                    return stillHolds(target, path, size,
                                                                      fingerprint);
                                                })});
            try {
                if (copyBak)
                    backups.push_back({prepare(bak, {f.asRead}, &st, bak), bak, target, nullptr});
                // Let go before the new bytes are written: where nothing else holds them (a
                // file whose links were edited is written from its edited bytes), the memory
                // goes back to the system. Pieces of the new bytes stand in bytes their caller
                // keeps.
                f.asRead = QByteArray();
                writes.push_back(
                        {prepare(target, newBytes(f), &st, f.path), f.path, {}, nullptr});
            } catch (const CommandError &) {
                // Bytes as read that stand in a mapping of the file fail a write when the file
                // was cut short meanwhile: that is the reason to give.
                if (!looks.back().stands(target))
                    changedOnDisk(f.path);
                throw;
            }
        }
        // The temporary files go to the disk while the files have their last look before
        // anything is renamed: the one waits on the disk, the other reads what is cached. A
        // look that throws leaves through the future, which waits for the syncs to end; where
        // no thread can be started, the syncs run after the look instead.
        auto synced = std::async(std::launch::async | std::launch::deferred, [&] {
            std::vector<std::pair<const Prepared *, int>> failures;
            for (auto *list : {&backups, &writes})
                for (const Prepared &p : *list)
                    if (p.file && ::fsync(p.file->handle()) != 0)
                        failures.push_back({&p, errno});
            return failures;
        });
        for (std::size_t i = 0, look = 0; i < files.size(); ++i) {
            if (files[i].created) {
                if (nameTaken(targets[qsizetype(i)]))
                    appeared(files[i].path);
                continue;
            }
            if (!looks[look++].stands(targets[qsizetype(i)]))
                changedOnDisk(files[i].path);
        }
        const auto failures = synced.get();
        if (!failures.empty())
            throw CommandError(failures[0].first->name + QStringLiteral(" can't be written: ")
                               + QString::fromLocal8Bit(std::strerror(failures[0].second)));
        for (const Prepared &p : backups)
            if (p.asName && !p.asName->sameFileAs(p.kept))
                changedOnDisk(p.kept);
        for (auto *list : {&backups, &writes})
            for (Prepared &p : *list) {
                if (p.asName ? !p.asName->commit() : !p.file->commit())
                    throw CommandError(p.name + QStringLiteral(" can't be written: ")
                                       + (p.asName ? reason() : p.file->errorString()));
                if (!p.kept.isEmpty())
                    keptAsRead().insert(p.kept);
            }
        // A file made in this run had no bytes before it to keep.
        for (std::size_t i = 0; i < files.size(); ++i)
            if (files[i].created)
                keptAsRead().insert(targets[qsizetype(i)]);
    } catch (...) {
        cancel();
        throw;
    }
}

} // namespace vog
