#pragma once

#include <QByteArray>

#include <memory>

namespace vog {

// A file's bytes read where the system caches them, mapped, with no copy: a save reads a long
// file's bytes as read this way rather than into fresh memory of the file's size. Bytes that
// the file loses while mapped (cut short by another program) read as zeros from then on,
// where they would otherwise stop the program; whatever reads them must look at the file again
// before it trusts them, as a save's last look does.
class FileMapping
{
public:
    // The first size bytes of the open file, or none where it can't be mapped.
    static std::shared_ptr<const FileMapping> map(int fd, qint64 size);
    ~FileMapping();
    FileMapping(const FileMapping &) = delete;
    FileMapping &operator=(const FileMapping &) = delete;

    // The bytes, valid while the mapping lasts.
    QByteArray bytes() const;

private:
    FileMapping() = default;
    char *m_data = nullptr;
    qint64 m_size = 0;
    std::size_t m_mapped = 0;
    int m_slot = -1;
};

} // namespace vog
