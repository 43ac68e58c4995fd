#include "SourceFiles.h"

#include "Errors.h"

#include <deque>

namespace vog {

namespace {
std::deque<SourceFile> &files()
{
    static std::deque<SourceFile> all;
    return all;
}
// The first file of the configuration read now.
std::size_t &firstOfRead()
{
    static std::size_t first = 0;
    return first;
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
    for (std::size_t i = firstOfRead(); i < files().size(); ++i)
        if (files()[i].path == absolutePath)
            return true;
    return false;
}

void startNewRead()
{
    firstOfRead() = files().size();
}

int sourceFileCount()
{
    return int(files().size());
}

void checkEndOutsideConditions(int file, const QString &what)
{
    const SourceFile &f = sourceFile(file);
    if (f.openConditionAt > 0)
        throw RenderError(QStringLiteral("%1: %2 ends inside the condition of line %3, which no "
                                         "endif closes; a line added at its end would stand in "
                                         "that condition")
                                  .arg(what, f.path)
                                  .arg(f.openConditionAt));
}

QString describeOrigin(const Origin &origin)
{
    if (!origin.isSet() || origin.file >= sourceFileCount())
        return {};
    return QStringLiteral("line %1 of %2").arg(origin.line).arg(sourceFile(origin.file).path);
}

} // namespace vog
