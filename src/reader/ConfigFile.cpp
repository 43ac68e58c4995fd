#include "ConfigFile.h"

#include "Errors.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vog {

namespace {

[[noreturn]] void fail(int errorNumber, int systemError = -1)
{
    throw IoError(errorNumber, ioErrorMessage(errorNumber), systemError);
}

} // namespace

ConfigFile::ConfigFile(const QString &fileName)
{
    if (fileName.isEmpty())
        fail(ENOENT);
    const QByteArray path = QFile::encodeName(fileName);
    // Non-blocking, so that opening a FIFO without a writer returns at once.
    do {
        m_fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    } while (m_fd < 0 && errno == EINTR);
    if (m_fd < 0) {
        const int system = errno;
        int error = system;
        // A missing folder on the way is a wrong name, not a missing file.
        if (error == ENOENT && !QFileInfo(QFileInfo(fileName).absolutePath()).isDir())
            error = ENOTDIR;
        fail(error, system);
    }
    struct stat st;
    if (::fstat(m_fd, &st) != 0) {
        const int error = errno;
        ::close(m_fd);
        m_fd = -1;
        fail(error);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(m_fd);
        m_fd = -1;
        fail(EACCES);
    }
    const int flags = ::fcntl(m_fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(m_fd, F_SETFL, flags & ~O_NONBLOCK);
}

ConfigFile::~ConfigFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

} // namespace vog
