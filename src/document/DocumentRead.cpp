#include "DocumentRead.h"

#include "ConfigDocument.h"

#include "reader/Codepage.h"
#include "reader/Errors.h"
#include "reader/LinkStore.h"

#include <QDateTime>
#include <QFileInfo>

namespace vog {

namespace {

// Records every value where it stands, watches the codepage, and hands everything on.
struct RecordingSink final : public ConfigSink
{
    RecordingSink(const LineReader &lines, ConfigSink &next, int file)
        : lines(lines), next(next), file(file)
    {
    }
    void lineRead(QByteArrayView raw) override
    {
        doc.areas().lineRead(file, lines);
        // The reader knows a line of plain ASCII, which tells no codepage, as it splits it.
        if (!lines.lineIsAscii())
            detector.feed(raw);
        next.lineRead(raw);
    }
    void windowValue(const KeywordLine &line) override
    {
        doc.record(line, -1);
        next.windowValue(line);
    }
    void linkStarted(const KeywordLine &line, int column) override
    {
        doc.record(line, column);
        next.linkStarted(line, column);
    }
    void linkValue(const KeywordLine &line, int column) override
    {
        doc.record(line, column);
        next.linkValue(line, column);
    }

    const LineReader &lines;
    ConfigSink &next;
    int file;
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

void readDocumentFile(LineReader &lines, int file, bool isMain, ConfigSink &sink)
{
    ConfigDocument &doc = document();
    LinkStore &store = doc.links();
    doc.beginFile(file, isMain);
    // A file the user opens starts with no defaults; the files it includes carry them on.
    if (isMain)
        store.destroyDefaults();
    RecordingSink recording(lines, sink, file);
    const auto finish = [&] {
        sourceFile(file).codec = recording.detector.decide();
        lines.finish();
        doc.endFile(file, lines);
    };
    try {
        readConfig(lines, store, recording, file);
    } catch (const NumberError &) {
        // The rest of the file is still part of it: a save checks every byte.
        QByteArrayView rest;
        while (lines.next(rest)) {
            doc.areas().lineRead(file, lines);
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

} // namespace vog
