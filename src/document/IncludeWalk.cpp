#include "IncludeWalk.h"

#include "ConfigDocument.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace vog {

QString includedPath(const QString &name, const Origin &origin)
{
    const int base = origin.isSet() ? origin.file : sourceFileCount() - 1;
    const QDir folder = base >= 0 ? QFileInfo(sourceFile(base).path).dir() : QDir::current();
    bool backQuoted = false;
    const QString expanded = QString::fromUtf8(
            document().stateAt(origin).expand(name.trimmed().toUtf8(), nullptr, &backQuoted));
    if (backQuoted)
        throw CommandError(name + QStringLiteral(
                                   " holds a word in back quotes, which is not run to find it"));
    return QDir::cleanPath(folder.absoluteFilePath(expanded));
}

void walkIncludes(const QStringList &names, const std::vector<Origin> &origins,
                  const std::function<void(const QString &path, const Origin &from,
                                           IncludedRead &read)> &read,
                  const IncludeFailure &failed)
{
    QSet<QString> tried;
    QStringList failures;
    // Depth first, in the order written; an explicit stack, so a deep chain can't overflow.
    struct Named
    {
        QString name;
        Origin origin;
    };
    std::vector<Named> stack;
    const auto push = [&](const QStringList &written, const std::vector<Origin> &lines) {
        for (qsizetype i = written.size(); i-- > 0;)
            if (!written[i].trimmed().isEmpty())
                stack.push_back({written[i], std::size_t(i) < lines.size()
                                                     ? lines[std::size_t(i)]
                                                     : Origin()});
    };
    push(names, origins);
    while (!stack.empty()) {
        const Named next = stack.back();
        stack.pop_back();
        QString path = next.name;
        IncludedRead done;
        try {
            path = includedPath(next.name, next.origin);
            if (tried.contains(path) || wasRead(path))
                continue;
            tried.insert(path);
            read(path, next.origin, done);
        } catch (const CommandError &e) {
            if (failed)
                failed(path, next.origin, next.name, e);
            else
                failures.append(path + QStringLiteral(": ") + e.message());
        }
        push(done.includes, done.origins);
    }
    if (!failures.isEmpty())
        throw IoError(0, QStringLiteral("Some included files were not read:\n")
                                 + failures.join(QLatin1Char('\n')));
}

} // namespace vog
