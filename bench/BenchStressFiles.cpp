#include "BenchStressFiles.h"

#include <QDir>

#include <cmath>

namespace vogbench {

void writeStressSet(StressSet &set, const QString &outDir, bool fullGrammar)
{
    const double fractions[] = {0.25, 0.5, 1.0};
    for (int i = 0; i < 3; ++i) {
        set.paths[i] = QDir(outDir).filePath(
                QStringLiteral("stress-%1%2.cfg")
                        .arg(fullGrammar ? QStringLiteral("grammar-") : QString())
                        .arg(int(std::lround(fractions[i] * 100)), 3, 10, QLatin1Char('0')));
        out << "writing " << set.paths[i] << '\n';
        out.flush();
        GeneratorOptions options = GeneratorOptions::scaled(fractions[i]);
        options.fullGrammar = fullGrammar;
        set.files[i] = generateConfig(options, set.paths[i]);
    }
}

QJsonObject stressFileFigures(const StressSet &set)
{
    const GeneratedFile &f = set.facts();
    return {{QStringLiteral("path"), set.stress()},
            {QStringLiteral("lines"), double(f.lines)},
            {QStringLiteral("bytes"), double(f.bytes)},
            {QStringLiteral("links"), f.links},
            {QStringLiteral("per_link_lines"), double(f.linkLines)},
            {QStringLiteral("list_lines"), double(f.listLines)},
            {QStringLiteral("set_and_condition_lines"), double(f.directiveLines)},
            {QStringLiteral("lines_in_branches_not_taken"), double(f.hiddenLines)}};
}

} // namespace vogbench
