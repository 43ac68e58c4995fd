// Writes a large configuration file for trying and measuring the reader.
// Usage: vog-genconfig <file> [--scale F] [--lines N] [--links N] [--list-lines N] [--seed S]
//                      [--codepage koi8-r|cp866|cp1251] [--hub] [--area-lines N] [--full-grammar]
// Without options it writes the standard stress file: about 1,000,000 lines, 20,000 links and
// 100,000 line-list lines.
#include "ConfigGenerator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <stdexcept>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Writes a large, realistic configuration file."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("The file to write."));
    const QCommandLineOption scale(QStringLiteral("scale"),
                                   QStringLiteral("Size as a share of the stress file."),
                                   QStringLiteral("F"), QStringLiteral("1"));
    const QCommandLineOption lines(QStringLiteral("lines"), QStringLiteral("Lines in all."),
                                   QStringLiteral("N"));
    const QCommandLineOption links(QStringLiteral("links"), QStringLiteral("Link sections."),
                                   QStringLiteral("N"));
    const QCommandLineOption listLines(QStringLiteral("list-lines"),
                                       QStringLiteral("Route, remap, pack, include... lines."),
                                       QStringLiteral("N"));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("Random seed."),
                                  QStringLiteral("S"), QStringLiteral("1"));
    const QCommandLineOption codepage(QStringLiteral("codepage"),
                                      QStringLiteral("Russian text in this 8-bit codepage: "
                                                     "koi8-r, cp866 or cp1251."),
                                      QStringLiteral("NAME"));
    const QCommandLineOption hub(QStringLiteral("hub"),
                                 QStringLiteral("A hub's file: 20,000 short link sections and "
                                                "few list lines."));
    const QCommandLineOption areaLines(QStringLiteral("area-lines"),
                                       QStringLiteral("Area lines at the end, 1 to 40 links each."),
                                       QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption fullGrammar(
            QStringLiteral("full-grammar"),
            QStringLiteral("The whole line grammar too: tabs, trailing comments, switches alone, "
                           "set variables in paths and if/else/endif blocks."));
    parser.addOptions({scale, lines, links, listLines, seed, codepage, hub, areaLines, fullGrammar});
    parser.process(app);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(2);

    vogbench::GeneratorOptions options =
            parser.isSet(hub) ? vogbench::GeneratorOptions::hub(parser.value(seed).toULongLong())
                              : vogbench::GeneratorOptions::scaled(parser.value(scale).toDouble(),
                                                                   parser.value(seed).toULongLong());
    if (parser.isSet(lines))
        options.lines = parser.value(lines).toLongLong();
    if (parser.isSet(links))
        options.links = parser.value(links).toInt();
    if (parser.isSet(listLines))
        options.listLines = parser.value(listLines).toLongLong();
    options.codepage = parser.value(codepage).toUpper().toStdString();
    options.areaLines = parser.value(areaLines).toInt();
    options.fullGrammar = parser.isSet(fullGrammar);

    QTextStream out(stdout);
    try {
        const vogbench::GeneratedFile f =
                vogbench::generateConfig(options, parser.positionalArguments().constFirst());
        out << parser.positionalArguments().constFirst() << ": " << f.lines << " lines, " << f.bytes
            << " bytes, " << f.links << " links, " << f.linkLines << " per-link lines, "
            << f.listLines << " list lines, " << f.areaLines << " area lines with " << f.areaLinks
            << " links";
        if (options.fullGrammar)
            out << ", " << f.directiveLines << " set and condition lines, " << f.hiddenLines
                << " lines in branches not taken";
        out << '\n';
    } catch (const std::exception &e) {
        QTextStream(stderr) << "vog-genconfig: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
