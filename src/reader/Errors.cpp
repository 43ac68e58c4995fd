#include "Errors.h"

#include <cerrno>

namespace vog {

QString ioErrorMessage(int errorNumber)
{
    switch (errorNumber) {
    case ENOENT:
        return QStringLiteral("File not found");
    case ENOTDIR:
    case ENAMETOOLONG:
        return QStringLiteral("Invalid filename");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("Too many open files");
    case EACCES:
    case EPERM:
        return QStringLiteral("File access denied");
    default:
        return QStringLiteral("I/O error %1").arg(errorNumber);
    }
}

} // namespace vog
