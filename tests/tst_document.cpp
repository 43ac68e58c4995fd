// The document without a widget: what a change renders into a file's bytes, byte for byte, and
// that every state a field can be given reads back as itself once written.

#include "document/ConfigDocument.h"
#include "document/DocumentRead.h"
#include "reader/Errors.h"
#include "reader/LineGrammar.h"
#include "reader/LinkStore.h"
#include "reader/ValueRules.h"

#include <QDirIterator>
#include <QFile>
#include <QtTest>

using namespace vog;

namespace {

struct NoWindows final : public ConfigSink
{
    void windowValue(const KeywordLine &) override {}
    void linkStarted(const KeywordLine &, int) override {}
};

// One file read into a fresh document, as the Open reads it.
struct ReadFile
{
    explicit ReadFile(const QByteArray &bytes) : bytes(bytes)
    {
        document().clear();
        file = addSourceFile(QStringLiteral("/nowhere/test.cfg"));
        LineReader lines(bytes);
        NoWindows sink;
        readDocumentFile(lines, file, true, sink);
    }
    QByteArray render() const { return document().render(file, bytes); }

    QByteArray bytes;
    LinkStore &store = document().links();
    int file;
};

// Applies edits written one a line: "set Row[@column]=text", "remove Row[@column]",
// "lines Row=a|b|c".
void apply(const QString &edits)
{
    for (const QString &edit : edits.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const qsizetype blank = edit.indexOf(QLatin1Char(' '));
        const QString verb = edit.left(blank);
        QString target = edit.mid(blank + 1);
        QString text;
        if (const qsizetype eq = target.indexOf(QLatin1Char('=')); eq >= 0) {
            text = target.mid(eq + 1);
            target.truncate(eq);
        }
        const QStringList parts = target.split(QLatin1Char('@'));
        const KeywordRow *row = rowNamed(parts[0].toLatin1());
        QVERIFY2(row, qPrintable(target));
        const int column = parts.size() > 1 ? parts[1].toInt() : -1;
        if (verb == QLatin1String("set"))
            document().setValue(*row, column, text);
        else if (verb == QLatin1String("remove"))
            document().removeValue(*row, column);
        else
            document().setLines(*row, text.isEmpty() ? QStringList() : text.split(u'|'));
    }
}

} // namespace

class TestDocument final : public QObject
{
    Q_OBJECT
private slots:
    void render_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("edits");
        QTest::addColumn<QByteArray>("expected");
        // New lines at one place stand in the keyword table's order.
        // clang-format off
        QTest::newRow("value replaced, CR LF kept")
            << QByteArray("Origin old one\r\nSysop me\r\n") << "set Origin=new"
            << QByteArray("Origin new\r\nSysop me\r\n");
        QTest::newRow("indent, case, blanks and tail kept")
            << QByteArray("  ORIGIN \t old  \t\n") << "set Origin=new"
            << QByteArray("  ORIGIN \t new  \t\n");
        QTest::newRow("stray CR inside the line")
            << QByteArray("Sysop a\rb\r\r\nx\n") << "set Sysop=c"
            << QByteArray("Sysop c\r\r\nx\n");
        QTest::newRow("new value after a last line without end")
            << QByteArray("Sysop me") << "set Origin=x"
            << QByteArray("Sysop me\nOrigin x");
        QTest::newRow("new value in a CR LF file with a Ctrl-Z tail")
            << QByteArray("Sysop me\r\n# note\r\n\x1ajunk\xff\x00", 25) << "set Origin=x"
            << QByteArray("Sysop me\r\nOrigin x\r\n# note\r\n\x1ajunk\xff\x00", 35);
        QTest::newRow("new value goes after its window's last keyword")
            << QByteArray("Sysop a\nInbound /in\n# end\n") << "set Origin=x\nset Outbound=/out"
            << QByteArray("Sysop a\nOrigin x\nInbound /in\nOutbound /out\n# end\n");
        QTest::newRow("keyword given twice: the last line changes")
            << QByteArray("Sysop a\nSysop b\n") << "set Sysop=c"
            << QByteArray("Sysop a\nSysop c\n");
        QTest::newRow("removed value: every line that set it")
            << QByteArray("Sysop a\n# c\nSysop b\n\0\xfe\n", 23) << "remove Sysop"
            << QByteArray("# c\n\0\xfe\n", 7);
        QTest::newRow("text emptied removes the keyword")
            << QByteArray("Origin o\nSysop s\n") << "set Origin="
            << QByteArray("Sysop s\n");
        QTest::newRow("set back to what the file says: no change")
            << QByteArray("AreafixFromPkt yes\nSysop s\n") << "set AreafixFromPkt=On\nset Sysop=t\nset Sysop=s"
            << QByteArray("AreafixFromPkt yes\nSysop s\n");
        QTest::newRow("choice, number, radio and flags by their words")
            << QByteArray("AreafixFromPkt no\n") << "set AreafixFromPkt=On\nset AreafixMsgSize=250\nset DupeBaseType=hashdupeswmsgid\nset AreafixKillReports=pvt k/s npd"
            << QByteArray("AreafixFromPkt On\nAreafixMsgSize 250\nAreafixKillReports pvt k/s npd\nDupeBaseType hashdupeswmsgid\n");
        QTest::newRow("list: line removed, kept, added after the line above")
            << QByteArray("Pack zip a\r\nPack rar b\r\n# x\r\nPack arj c\r\n") << "lines Pack=zip a|arj c|lha d"
            << QByteArray("Pack zip a\r\n# x\r\nPack arj c\r\nPack lha d\r\n");
        QTest::newRow("list: changed in place, new first line before the first kept")
            << QByteArray("Pack zip a\nPack rar b\n") << "lines Pack=new|zip a|RAR B"
            << QByteArray("Pack new\nPack zip a\nPack RAR B\n");
        QTest::newRow("list: changes between kept ends, a Latin-1 line kept")
            << QByteArray("Pack a\nPack Jos\xe9\nPack b\nPack c\n# x\nPack d\nPack d\n") << QString::fromUtf8("lines Pack=a|José|B|new|d")
            << QByteArray("Pack a\nPack Jos\xe9\nPack B\nPack new\n# x\nPack d\n");
        QTest::newRow("list emptied")
            << QByteArray("Pack zip a\nSysop s\nPack rar b") << "lines Pack="
            << QByteArray("Sysop s\n");
        QTest::newRow("link value replaced, new one after the link's last line")
            << QByteArray("link A\naka 1:1/1\nlink B\naka 2:2/2\n\nSysop s\n") << "set Aka@1=9:9/9\nset Packer@2=zip"
            << QByteArray("link A\naka 9:9/9\nlink B\naka 2:2/2\npacker zip\n\nSysop s\n");
        QTest::newRow("link value removed; a value for the lines before the first link")
            << QByteArray("Sysop s\nlink A\nPacker arj\naka 1:1/1\n") << "remove Packer@1\nset Packer@0=zip"
            << QByteArray("Sysop s\nPacker zip\nlink A\naka 1:1/1\n");
        QTest::newRow("KOI8-R file: Russian text written in KOI8-R")
            << QByteArray("Sysop \xf3\xc9\xd3\xd4\xc5\xcd\xce\xd9\xca \xcf\xd0\xc5\xd2\xc1\xd4\xcf\xd2 \xd5\xda\xcc\xc1\n")
            << QString::fromUtf8("set Origin=Привет мир")
            << QByteArray("Sysop \xf3\xc9\xd3\xd4\xc5\xcd\xce\xd9\xca \xcf\xd0\xc5\xd2\xc1\xd4\xcf\xd2 \xd5\xda\xcc\xc1\nOrigin \xf0\xd2\xc9\xd7\xc5\xd4 \xcd\xc9\xd2\n");
        QTest::newRow("CP866 file: Russian text written in CP866")
            << QByteArray("Sysop \x91\xa8\xe1\xe2\xa5\xac\xad\xeb\xa9 \xae\xaf\xa5\xe0\xa0\xe2\xae\xe0 \xe3\xa7\xab\xa0\n")
            << QString::fromUtf8("set Sysop=Мир")
            << QByteArray("Sysop \x8c\xa8\xe0\n");
        QTest::newRow("value shown as Latin-1 stays Latin-1 while it fits")
            << QByteArray("Sysop Jos\xe9\nOrigin Jos\xe9\n") << QString::fromUtf8("set Sysop=José!\nset Origin=José €")
            << QByteArray("Sysop Jos\xe9!\nOrigin Jos\xc3\xa9 \xe2\x82\xac\n");
        // The defaults' record is column 2147483647.
        QTest::newRow("inherited value set to what it inherits: no change")
            << QByteArray("LinkDefaults begin\nPacker arj\nLinkDefaults end\nlink A\n")
            << "set Packer@1=ARJ\nset Packer@1=arj"
            << QByteArray("LinkDefaults begin\nPacker arj\nLinkDefaults end\nlink A\n");
        QTest::newRow("default changed in the last block that set it")
            << QByteArray("LinkDefaults BEGIN\nPacker arj\nLinkDefaults end\nlink A\nLinkDefaults begin\nPacker lha\nlink B\n")
            << "set Packer@2147483647=zip"
            << QByteArray("LinkDefaults BEGIN\nPacker arj\nLinkDefaults end\nlink A\nLinkDefaults begin\nPacker zip\nlink B\n");
        QTest::newRow("new default: before the last block's end line, or after its last line")
            << QByteArray("LinkDefaults begin\nPacker arj\nLinkDefaults end\nlink A\nLinkDefaults begin\nPktPwd p\nlink B\nLinkDefaults end\n")
            << "set LinkGrp@2147483647=X"
            << QByteArray("LinkDefaults begin\nPacker arj\nLinkDefaults end\nlink A\nLinkDefaults begin\nPktPwd p\nLinkGrp X\nlink B\nLinkDefaults end\n");
        QTest::newRow("defaults with no block: one block before the first link")
            << QByteArray("Sysop s\nlink A\naka 1:1/1\n") << "set Packer@2147483647=zip\nset Pause@2147483647=earea"
            << QByteArray("Sysop s\nlinkdefaults begin\npacker zip\npause earea\nlinkdefaults end\nlink A\naka 1:1/1\n");
        QTest::newRow("defaults emptied: the new block after the destroy")
            << QByteArray("LinkDefaults begin\nPacker arj\nLinkDefaults end\nlink A\nLinkDefaults destroy")
            << "set Packer@2147483647=zip"
            << QByteArray("LinkDefaults begin\nPacker arj\nLinkDefaults end\nlink A\nLinkDefaults destroy\nLinkDefaults begin\nPacker zip\nLinkDefaults end");
        QTest::newRow("a value before the first link goes before an unclosed block")
            << QByteArray("LinkDefaults begin\nPacker arj\nlink A\n") << "set Aka@0=1:1/9"
            << QByteArray("Aka 1:1/9\nLinkDefaults begin\nPacker arj\nlink A\n");
        // clang-format on
    }
    void render()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, edits);
        QFETCH(QByteArray, expected);
        ReadFile read(file);
        apply(edits);
        QCOMPARE(read.render(), expected);
        QCOMPARE(document().planSave().files().empty(), expected == file);
    }

    // The line grammar as the tosser reads it: each change lands in the line in effect and
    // replaces the value's bytes alone.
    void renderByTheLineGrammar_data()
    {
        QTest::addColumn<QByteArray>("module");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("edits");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray branches = "if \"[module]\"==\"hub\"\r\nSysop a\r\nelseif [module]==point\r\nSysop b\r\nelse\r\nSysop c\r\nendif\r\n";
        // clang-format off
        QTest::newRow("tab-separated value")
            << QByteArray() << QByteArray("Inbound\t\t/home/fido/in\t\nSysop s") << "set Inbound=/var/in"
            << QByteArray("Inbound\t\t/var/in\t\nSysop s");
        QTest::newRow("trailing comment kept byte for byte")
            << QByteArray() << QByteArray("link A\nPacker zip     #### Do not edit this comment\r\n") << "set Packer@1=rar"
            << QByteArray("link A\nPacker rar     #### Do not edit this comment\r\n");
        QTest::newRow("8-bit comment kept, a Ctrl-Z tail too")
            << QByteArray() << QByteArray("Origin Node #1 \t# \xe2\xe8\xf8\n\x1a\xff") << "set Origin=Node #2"
            << QByteArray("Origin Node #2 \t# \xe2\xe8\xf8\n\x1a\xff");
        QTest::newRow("switch alone set to Off")
            << QByteArray() << QByteArray("LogEchoToScreen   # loud\nlink A\nImport\n") << "set LogEchoToScreen=Off\nset Import@1=Off"
            << QByteArray("LogEchoToScreen Off   # loud\nlink A\nImport Off\n");
        QTest::newRow("switch alone set to On stays alone")
            << QByteArray() << QByteArray("LogEchoToScreen\n") << "set LogEchoToScreen=Off\nset LogEchoToScreen=On"
            << QByteArray("LogEchoToScreen\n");
        QTest::newRow("CommentChar: its comments kept, a hash is a value's")
            << QByteArray() << QByteArray("Sysop a # b\nCommentChar ;\nOrigin x # y ; note\n") << "set Origin=z\nset Sysop=c"
            << QByteArray("Sysop c # b\nCommentChar ;\nOrigin z ; note\n");
        QTest::newRow("branch of the module chosen")
            << QByteArray("point") << branches << "set Sysop=d"
            << QByteArray(branches).replace("Sysop b", "Sysop d");
        QTest::newRow("branch taken when no module is chosen")
            << QByteArray() << branches << "set Sysop=d"
            << QByteArray(branches).replace("Sysop c", "Sysop d");
        QTest::newRow("a value no line in effect sets: a line outside every condition")
            << QByteArray() << QByteArray("if [OS]==UNIX\nSysop a\nendif\nifdef NOWHERE_SET_VAR\nOrigin o\nendif\n") << "set Origin=p"
            << QByteArray("if [OS]==UNIX\nSysop a\nendif\nifdef NOWHERE_SET_VAR\nOrigin o\nendif\nOrigin p\n");
        QTest::newRow("a new line spelled as the file spells keywords")
            << QByteArray() << QByteArray("sysop a\nroute\tcrash 2:5020/1 *\nlink A\naka\t2:5020/1\n") << "set Origin=o\nset Packer@1=zip\nlines Route=crash 2:5020/1 *|hold 2:5020/2 *"
            << QByteArray("sysop a\nroute\tcrash 2:5020/1 *\norigin\to\nroute\thold 2:5020/2 *\nlink A\naka\t2:5020/1\npacker\tzip\n");
        // clang-format on
    }
    void renderByTheLineGrammar()
    {
        QFETCH(QByteArray, module);
        QFETCH(QByteArray, file);
        QFETCH(QString, edits);
        QFETCH(QByteArray, expected);
        chooseModule(module);
        ReadFile read(file);
        chooseModule({});
        apply(edits);
        QCOMPARE(read.render(), expected);
    }

    // A change that a read of its bytes would not give back is refused: a value cut short at
    // a comment, a line that would stand in a condition the file leaves open at its end.
    void changeThatWouldNotReadBackIsRefused_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("edits");
        QTest::addColumn<QString>("message");
        QTest::newRow("a value that reads as a comment")
                << QByteArray("Sysop a\n") << "set Sysop=a # b" << "Sysop: \"a # b\" would be read";
        QTest::newRow("a new line after an if without endif")
                << QByteArray("if [OS]==UNIX\nSysop a\n") << "set Origin=x"
                << "Origin: /nowhere/test.cfg ends inside the condition of line 1";
    }
    void changeThatWouldNotReadBackIsRefused()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, edits);
        QFETCH(QString, message);
        ReadFile read(file);
        apply(edits);
        try {
            read.render();
            QFAIL("rendered");
        } catch (const RenderError &e) {
            QVERIFY2(e.message().startsWith(message), qPrintable(e.message()));
        }
    }

    // Once saved, the links inherit the defaults as the new bytes say them.
    void savedDefaultsReachTheLinks()
    {
        ReadFile read("LinkDefaults begin\nPacker arj\nLinkDefaults end\nlink A\n"
                      "LinkDefaults begin\nLinkGrp G\nlink B\n");
        const int packer = rowNamed("Packer")->storeRow;
        apply("set Packer@2147483647=zip\nset OptGrp@2147483647=O");
        const QByteArray out = read.render();
        document().saved(read.file, out);
        document().changesSaved();
        // The line replaced is the first block's, which both links take; the new line stands
        // in the second block, after link A.
        QCOMPARE(read.store.inheritedCell(1, packer), QByteArrayView("zip"));
        QCOMPARE(read.store.inheritedCell(2, packer), QByteArrayView("zip"));
        QVERIFY(!read.store.inheritedOrigin(1, rowNamed("OptGrp")->storeRow).isSet());
        QCOMPARE(read.store.inheritedOrigin(2, rowNamed("OptGrp")->storeRow).line, 7);
        QCOMPARE(read.store.cell(LinkStore::DefaultsColumn, packer), QByteArrayView("zip"));
        QCOMPARE(document().render(read.file, out), out);
    }

    void unwritableTextIsRefused_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("a character KOI8-R lacks")
                << QByteArray("Sysop \xf3\xc9\xd3\xd4\xc5\xcd\xce\xd9\xca \xcf\xd0\xc5\xd2\xc1\xd4\xcf\xd2 \xd5\xda\xcc\xc1\n")
                << QString::fromUtf8("Иван ✓")
                << QString::fromUtf8("Sysop: the character \"✓\" (U+2713) can't be written in KOI8-R");
        QTest::newRow("a line feed") << QByteArray("Sysop a\n") << QStringLiteral("a\nOrigin x")
                                     << QStringLiteral("Sysop: the character U+000a can't stand");
    }
    void unwritableTextIsRefused()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, text);
        QFETCH(QString, message);
        ReadFile read(file);
        document().setValue(*rowNamed("Sysop"), -1, text);
        try {
            read.render();
            QFAIL("rendered");
        } catch (const RenderError &e) {
            QVERIFY2(e.message().startsWith(message), qPrintable(e.message()));
        }
    }

    // Every state a user can give a field, written and read again, is the same state.
    void everyRowReadsBackAsWritten_data()
    {
        QTest::addColumn<int>("index");
        for (const KeywordRow &row : keywordTable())
            if (row.kind != ValueKind::LinkName)
                QTest::newRow(row.name) << row.index;
    }
    void everyRowReadsBackAsWritten()
    {
        QFETCH(int, index);
        const KeywordRow &row = keywordTable()[std::size_t(index)];
        std::vector<FieldState> states;
        FieldState s;
        switch (row.kind) {
        case ValueKind::OnOff:
        case ValueKind::InvertedOnOff:
        case ValueKind::LowerUpper:
            for (const char *c : {"On", "Off", "Lower", "Upper"})
                if (fieldState(row, c).choice == QByteArrayView(c))
                    s.choice = c, states.push_back(s);
            break;
        case ValueKind::Number:
            for (int n : {0, 1, 4096, rangeMaximum(row.range)})
                s.number = n, states.push_back(s);
            break;
        case ValueKind::Radio:
            for (int o = 0; o < int(row.radio->options.size()); ++o)
                s.option = o, states.push_back(s);
            break;
        case ValueKind::Flags:
            for (std::size_t b = 0; b < row.flags->words.size(); ++b)
                s.boxes = 1u << b, states.push_back(s);
            s.boxes = (1u << row.flags->words.size()) - 1;
            states.push_back(s);
            s.boxes = 0x55555u & s.boxes;
            states.push_back(s);
            break;
        default:
            break;
        }
        const int column = row.place == Place::Link ? 1 : -1;
        const QList<QString> texts = states.empty()
                ? QList<QString>{QStringLiteral("some text"), QString::fromUtf8("Jörg ✓")}
                : QList<QString>{};
        const auto readBack = [&](const QString &words) -> QByteArray {
            ReadFile read("link A\naka 1:1/1\n");
            if (row.kind == ValueKind::LineList)
                document().setLines(row, {words, words});
            else
                document().setValue(row, column, words);
            ReadFile again(read.render());
            const ValueLine *last = document().lastLine(row, column);
            if (!last)
                return {};
            return document().valueBytes(*last).toByteArray();
        };
        for (const FieldState &state : states) {
            const QByteArray words = stateWords(row, state);
            const FieldState back = fieldState(row, readBack(QString::fromUtf8(words)),
                                               0, row.radio ? state.option : -1);
            QCOMPARE(back.choice ? QByteArray(back.choice) : QByteArray(),
                     state.choice ? QByteArray(state.choice) : QByteArray());
            QCOMPARE(back.number, state.number);
            QCOMPARE(back.option, row.kind == ValueKind::Radio ? state.option : -1);
            QCOMPARE(back.boxes, state.boxes);
        }
        for (const QString &text : texts)
            QCOMPARE(QString::fromUtf8(readBack(text)), text);
    }

    // Every file of the fuzz corpus and of the tests, rendered with no change, is itself.
    void noChangeRendersEveryFileExactly()
    {
        int files = 0;
        for (const char *folder : {VOG_CORPUS, VOG_TEST_DATA, VOG_EXAMPLES}) {
            QDirIterator it(QString::fromLatin1(folder), QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                QFile f(it.next());
                QVERIFY(f.open(QIODevice::ReadOnly));
                const QByteArray bytes = f.readAll();
                try {
                    ReadFile read(bytes);
                    QCOMPARE(read.render(), bytes);
                } catch (const NumberError &) {
                    // The read stopped at a number; what it recorded renders all the same.
                    QCOMPARE(document().render(sourceFileCount() - 1, bytes), bytes);
                }
                ++files;
            }
        }
        QVERIFY(files > 10);
    }
};

QTEST_GUILESS_MAIN(TestDocument)
#include "tst_document.moc"
