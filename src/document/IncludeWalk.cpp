#include "IncludeWalk.h"

#include "reader/Errors.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace vog {

QString includedPath(const QString &name, const Origin &origin)
{
    const int base = origin.isSet() ? origin.file : sourceFileCount() - 1;
    const QDir folder = base >= 0 ? QFileInfo(sourceFile(base).path).dir() : QDir::current();
    return QDir::cleanPath(folder.absoluteFilePath(name));
}

void walkIncludes(const QStringList &names, const std::vector<Origin> &origins,
                  const std::function<void(const QString &path, IncludedRead &read)> &read)
{
    QSet<QString> tried;
    QStringList failures;
    // Depth first, in the order written; an explicit stack, so a deep chain can't overflow.
    std::vector<QString> stack;
    for (qsizetype i = names.size(); i-- > 0;) {
        if (names[i].trimmed().isEmpty())
            continue;
        stack.push_back(includedPath(names[i], std::size_t(i) < origins.size()
                                                       ? origins[std::size_t(i)]
                                                       : Origin()));
    }
    while (!stack.empty()) {
        const QString path = stack.back();
        stack.pop_back();
        if (tried.contains(path) || wasRead(path))
            continue;
        tried.insert(path);
        IncludedRead done;
        try {
            read(path, done);
        } catch (const CommandError &e) {
            failures.append(path + QStringLiteral(": ") + e.message());
        }
        for (qsizetype i = done.includes.size(); i-- > 0;)
            if (!done.includes[i].trimmed().isEmpty())
                stack.push_back(includedPath(done.includes[i], {done.file, 1}));
    }
    if (!failures.isEmpty())
        throw IoError(0, QStringLiteral("Some included files were not read:\n")
                                 + failures.join(QLatin1Char('\n')));
}

} // namespace vog
