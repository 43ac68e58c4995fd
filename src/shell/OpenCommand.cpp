#include "OpenCommand.h"

#include "Startup.h"
#include "editors/TFiles_and_Paths.h"
#include "editors/TGeneral_Keywords.h"
#include "editors/NameListModel.h"
#include "editors/TLink_Keywords.h"
#include "fields/LineList.h"
#include "reader/Codepage.h"
#include "reader/ConfigFile.h"
#include "reader/ConfigRead.h"
#include "reader/Errors.h"
#include "document/ConfigDocument.h"
#include "document/DocumentRead.h"

#include <QComboBox>
#include <QFileInfo>
#include <QSignalBlocker>

#include <exception>
#include <string>

namespace vog {

namespace {
OpenCommand::Summary &lastSummary()
{
    static OpenCommand::Summary summary;
    return summary;
}
} // namespace

// Each value into its field. A file's codepage is known only once all its lines are read, so
// its texts wait as bytes until then; numbers, choices and boxes are set at their line, where a
// number that doesn't convert stops the read.
struct OpenCommand::Sink final : public ConfigSink
{
    Sink()
    {
        const std::size_t rows = keywordTable().size();
        m_texts.resize(rows);
        m_lists.resize(rows);
        for (const KeywordRow &row : keywordTable()) {
            RowForm *form = row.place == Place::General  ? General_Keywords->form()
                : row.place == Place::FilesAndPaths ? Files_and_Paths->form()
                                                    : nullptr;
            m_fields.push_back(form ? form->field(row) : nullptr);
        }
        for (RowForm *form : {General_Keywords->form(), Files_and_Paths->form()})
            for (LineList *list : form->findChildren<LineList *>()) {
                list->hold();
                m_heldLists.append(list);
            }
        m_include = rowNamed("Include");
    }

    void start(int file) { m_file = file; }

    void windowValue(const KeywordLine &line) override
    {
        const KeywordRow &row = *line.row;
        const auto at = std::size_t(row.index);
        if (row.kind == ValueKind::Text) {
            m_texts[at].bytes.assign(line.value.data(), std::size_t(line.value.size()));
            m_texts[at].line = line.lineNumber;
        } else if (row.kind == ValueKind::LineList) {
            PendingList &list = m_lists[at];
            list.bytes.append(line.value.data(), line.value.size());
            list.lines.push_back({list.bytes.size(), line.lineNumber});
        } else {
            FieldState state = fieldState(row, line.value, line.lineNumber);
            state.origin = {m_file, line.lineNumber};
            m_fields[at]->setState(state);
        }
    }

    // The names wait in the link records, which hold their bytes already.
    void linkStarted(const KeywordLine &, int column) override { m_linkColumns.push_back(column); }

    // The file's codepage decided, its texts shown in it.
    void finishFile(FileRead &read)
    {
        const TextCodec codec = sourceFile(m_file).codec;
        const SourceFile &source = sourceFile(m_file);
        lastSummary() = {QFileInfo(source.path).fileName(), source.lines, int(m_linkColumns.size()),
                         codec.name()};
        FieldState state;
        state.codec = &sourceFile(m_file).codec;
        for (std::size_t i = 0; i < m_texts.size(); ++i) {
            PendingText &t = m_texts[i];
            if (!t.line)
                continue;
            state.kind = ValueKind::Text;
            state.text = QByteArrayView(t.bytes.data(), qsizetype(t.bytes.size()));
            state.origin = {m_file, t.line};
            m_fields[i]->setState(state);
            t.line = 0;
        }
        for (std::size_t i = 0; i < m_lists.size(); ++i) {
            PendingList &list = m_lists[i];
            state.kind = ValueKind::LineList;
            qsizetype from = 0;
            for (const auto &[end, line] : list.lines) {
                state.text = QByteArrayView(list.bytes).sliced(from, end - from);
                state.origin = {m_file, line};
                from = end;
                m_fields[i]->setState(state);
                if (m_include && int(i) == m_include->index)
                    read.includes.append(codec.decode(state.text));
            }
            list = {};
        }
        const LinkStore &store = document().links();
        for (const int column : m_linkColumns)
            m_newNames.append(store.cellText(column, linkNameRow()));
        m_linkColumns.clear();
    }

    void finish()
    {
        for (LineList *list : std::as_const(m_heldLists))
            list->release();
        m_heldLists.clear();
        if (m_newNames.isEmpty())
            return;
        // Adding to an empty list selects its first entry; the Open selects nothing, and
        // reports no change of entry or text, so no link is loaded on the way.
        QComboBox *links = Link_Keywords->LinkChange;
        const QSignalBlocker quiet(links);
        const int index = links->currentIndex();
        const QString text = links->currentText();
        // All the names in one insertion, not one for each.
        static_cast<NameListModel *>(links->model())->append(m_newNames);
        m_newNames.clear();
        if (links->currentIndex() != index) {
            links->setCurrentIndex(index);
            if (links->isEditable())
                links->setEditText(text);
        }
    }

    struct PendingText
    {
        std::string bytes; // reused from value to value
        qint64 line = 0;   // 0: no value waits
    };
    // A list's values of one file, one after another, each ending at its offset.
    struct PendingList
    {
        QByteArray bytes;
        std::vector<std::pair<qsizetype, qint64>> lines; // end in bytes, line of the file
    };

    std::vector<Field *> m_fields; // by keyword table index
    std::vector<PendingText> m_texts;
    std::vector<PendingList> m_lists;
    std::vector<int> m_linkColumns; // of the file read
    QStringList m_newNames;
    QList<LineList *> m_heldLists;
    const KeywordRow *m_include = nullptr;
    int m_file = -1;
};

OpenCommand::OpenCommand() : m_sink(std::make_unique<Sink>()) {}

OpenCommand::~OpenCommand() = default;

void OpenCommand::read(const QString &fileName, const std::function<void()> &onOpened,
                       FileRead &read, bool isMain)
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
            readDocumentFile(lines, read.file, isMain, *m_sink);
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

void openFile(const QString &fileName, const std::function<void()> &onOpened, bool isMain)
{
    OpenCommand command;
    OpenCommand::FileRead read;
    try {
        command.read(fileName, onOpened, read, isMain);
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
        walkIncludes(names, origins, [&](const QString &path, IncludedRead &read) {
            command.read(path, onOpened, read, false);
        });
    } catch (...) {
        command.finish();
        throw;
    }
    command.finish();
}

} // namespace vog
