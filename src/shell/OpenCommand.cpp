#include "OpenCommand.h"

#include "editors/Windows.h"
#include "document/ConfigDocument.h"
#include "editors/DocumentView.h"
#include "editors/TLink_Keywords.h"
#include "reader/Codepage.h"
#include "reader/ConfigFile.h"
#include "reader/ConfigRead.h"
#include "reader/Errors.h"
#include "reader/ValueRules.h"
#include "document/DocumentRead.h"

#include <QFileInfo>

#include <exception>

namespace vog {

namespace {
OpenCommand::Summary &lastSummary()
{
    static OpenCommand::Summary summary;
    return summary;
}
} // namespace

// The Open's own look at the lines, beside the document's record of them: a number that
// doesn't convert stops the read at its line.
// The fields show a file from the document once it is read, in its codepage, known only then.
struct OpenCommand::Sink final : public ConfigSink
{
    void start(int file) { m_file = file; }

    void windowValue(const KeywordLine &line) override
    {
        if (line.row->kind == ValueKind::Number)
            fieldState(*line.row, line.value, line.lineNumber);
    }

    void linkStarted(const KeywordLine &, int column) override
    {
        m_linkColumns.push_back(column);
        ++m_links;
    }

    // The file read, to its end or to the line that stopped it: what it set shown.
    void finishFile(FileRead &read)
    {
        const TextCodec codec = sourceFile(m_file).codec;
        const SourceFile &source = sourceFile(m_file);
        lastSummary() = {QFileInfo(source.path).fileName(), source.lines, m_links, codec.name(),
                         m_file};
        showFileRead(m_file);
        for (const ValueLine *line : lastFileLines(*m_include, m_file)) {
            read.includes.append(document().valueText(*line));
            read.origins.push_back(line->origin());
        }
        m_links = 0;
    }

    // The link list follows the links read, once for the command.
    void finish()
    {
        Link_Keywords->followLinks(m_linkColumns);
        m_linkColumns.clear();
    }

    int m_links = 0; // of the file read
    std::vector<int> m_linkColumns; // of the command
    const KeywordRow *m_include = rowNamed("Include");
    int m_file = -1;
};

OpenCommand::OpenCommand() : m_sink(std::make_unique<Sink>()) {}

OpenCommand::~OpenCommand() = default;

void OpenCommand::read(const QString &fileName, const std::function<void()> &onOpened,
                       FileRead &read, bool isMain, const Origin &from)
{
    ConfigFile file(fileName);
    if (onOpened)
        onOpened();
    read.file = addFileToRead(fileName);
    m_sink->start(read.file);
    // The reader's buffer is let go before the file's texts are decoded.
    std::exception_ptr failure;
    {
        LineReader lines(file.descriptor());
        try {
            readDocumentFile(lines, read.file, isMain, *m_sink, {}, from);
        } catch (...) {
            failure = std::current_exception();
        }
    }
    m_sink->finishFile(read);
    if (failure)
        std::rethrow_exception(failure);
}

void OpenCommand::finish()
{
    m_sink->finish();
}

OpenCommand::Summary OpenCommand::lastRead()
{
    return lastSummary();
}

void openFile(const QString &fileName, const std::function<void()> &onOpened, bool isMain,
              const Origin &from)
{
    OpenCommand command;
    OpenCommand::FileRead read;
    try {
        command.read(fileName, onOpened, read, isMain, from);
    } catch (...) {
        // What the lines before the failure set is shown before the error is.
        command.finish();
        throw;
    }
    command.finish();
}

void openIncludedFiles(const QStringList &names, const std::vector<Origin> &origins,
                       const std::function<void()> &onOpened)
{
    OpenCommand command;
    try {
        walkIncludes(names, origins,
                     [&](const QString &path, const Origin &from, IncludedRead &read) {
                         command.read(path, onOpened, read, false, from);
                     });
    } catch (...) {
        command.finish();
        throw;
    }
    command.finish();
}

} // namespace vog
