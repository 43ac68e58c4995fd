#include "SourceFiles.h"

#include <deque>

namespace vog {

namespace {
std::deque<SourceFile> &files()
{
    static std::deque<SourceFile> all;
    return all;
}
} // namespace

int addSourceFile(const QString &path)
{
    SourceFile file;
    file.path = path;
    files().push_back(file);
    return int(files().size()) - 1;
}

SourceFile &sourceFile(int file)
{
    return files().at(std::size_t(file));
}

bool wasRead(const QString &absolutePath)
{
    for (const SourceFile &f : files())
        if (f.path == absolutePath)
            return true;
    return false;
}

int sourceFileCount()
{
    return int(files().size());
}

QString describeOrigin(const Origin &origin)
{
    if (!origin.isSet() || origin.file >= sourceFileCount())
        return {};
    return QStringLiteral("line %1 of %2").arg(origin.line).arg(sourceFile(origin.file).path);
}

} // namespace vog
