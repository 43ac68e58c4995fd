#include "DocumentRead.h"

#include "ConfigDocument.h"

#include "reader/Codepage.h"
#include "reader/Errors.h"
#include "reader/LinkStore.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace vog {

namespace {

// Records every value where it stands, watches the codepage, and hands everything on.
struct RecordingSink final : public ConfigSink
{
    RecordingSink(const LineReader &lines, ConfigSink &next, int file, const ReadScope &scope,
                  const LineState &state)
        : lines(lines), next(next), file(file), scope(scope), state(state)
    {
    }
    void lineRead(QByteArrayView raw, const LineFacts &facts) override
    {
        // An area line in a branch not taken is no area of the node.
        if (scope.areaLines && facts.inEffect && facts.areaWord)
            doc.areas().lineRead(file, lines, facts, state.commentChar);
        // The reader knows a line of plain ASCII, which tells no codepage, as it splits it.
        if (!lines.lineIsAscii())
            detector.feed(raw);
        next.lineRead(raw, facts);
    }
    void otherLine(const LineFacts &facts, qint64 line) override
    {
        doc.noteOtherLine(facts, line);
        next.otherLine(facts, line);
    }
    bool wantsUndefined() const override { return next.wantsUndefined(); }
    void windowValue(const KeywordLine &line) override
    {
        doc.record(line, -1, scope.keeps(*line.row));
        next.windowValue(line);
    }
    void linkStarted(const KeywordLine &line, int column) override
    {
        doc.record(line, column, scope.keeps(*line.row));
        next.linkStarted(line, column);
    }
    void linkValue(const KeywordLine &line, int column) override
    {
        doc.record(line, column, scope.keeps(*line.row));
        next.linkValue(line, column);
    }

    const LineReader &lines;
    ConfigSink &next;
    int file;
    const ReadScope &scope;
    const LineState &state; // the read's, as the lines so far left it
    ConfigDocument &doc = document();
    CodepageDetector detector;
};

} // namespace

int addFileToRead(const QString &fileName)
{
    const QFileInfo info(fileName);
    const int file = addSourceFile(info.absoluteFilePath());
    SourceFile &source = sourceFile(file);
    source.canonicalPath = info.canonicalFilePath();
    source.modified = info.lastModified().toMSecsSinceEpoch();
    return file;
}

void readDocumentFile(LineReader &lines, int file, bool isMain, ConfigSink &sink,
                      const ReadScope &scope, const Origin &includedFrom)
{
    ConfigDocument &doc = document();
    LinkStore &store = doc.links();
    // Kept for the save, which checks the file on disk is still the one read.
    lines.wantFingerprint();
    LineState state = includedFrom.isSet() ? doc.stateAt(includedFrom) : LineState();
    doc.beginFile(file, isMain, state);
    // A file the user opens starts with no defaults; the files it includes carry them on.
    if (isMain)
        store.destroyDefaults();
    RecordingSink recording(lines, sink, file, scope, state);
    const auto finish = [&] {
        sourceFile(file).codec = recording.detector.decide();
        lines.finish();
        doc.endFile(file, lines, state);
    };
    try {
        readConfig(lines, store, recording, file, nullptr, scope, &state);
    } catch (const NumberError &) {
        // The rest of the file is still part of it: a save checks every byte.
        QByteArrayView rest;
        while (lines.next(rest)) {
            if (const LineFacts facts = readLine(rest, state); scope.areaLines && facts.inEffect)
                doc.areas().lineRead(file, lines, facts, state.commentChar);
            if (!lines.lineIsAscii())
                recording.detector.feed(rest);
        }
        finish();
        throw;
    } catch (...) {
        sourceFile(file).codec = recording.detector.decide();
        throw;
    }
    finish();
}

std::vector<const ValueLine *> lastFileLines(const KeywordRow &row, int file)
{
    std::vector<const ValueLine *> lines = document().linesOf(row);
    auto first = lines.end();
    while (first != lines.begin() && (*(first - 1))->file == file)
        --first;
    lines.erase(lines.begin(), first);
    return lines;
}

int readNewFile(const QString &fileName, const std::function<void()> &onChecked)
{
    const QFileInfo info(fileName);
    const QString path = info.absoluteFilePath();
    if (info.exists() || info.isSymLink())
        throw CommandError(path + QStringLiteral(" exists; open it to edit it"));
    if (!info.absoluteDir().exists())
        throw CommandError(path + QStringLiteral(" can't be created: its folder doesn't exist"));
    if (onChecked)
        onChecked();
    const int file = addSourceFile(path);
    sourceFile(file).onDisk = false;
    struct NoFields final : public ConfigSink
    {
        void windowValue(const KeywordLine &) override {}
        void linkStarted(const KeywordLine &, int) override {}
    } none;
    LineReader nothing{QByteArrayView()};
    readDocumentFile(nothing, file, true, none);
    // No text tells its codepage yet. UTF-8 holds every character a field takes, the keywords
    // (all ASCII) read the same in it as in the DOS and Windows codepages, and a later Open of
    // the saved file finds UTF-8 again.
    sourceFile(file).codec = TextCodec::utf8();
    return file;
}

} // namespace vog
