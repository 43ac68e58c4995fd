#pragma once

#include "AreaLines.h"
#include "reader/ConfigScanner.h"
#include "reader/LineReader.h"
#include "reader/LinkStore.h"
#include "reader/PageBlock.h"
#include "reader/SourceFiles.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <future>
#include <map>
#include <vector>

namespace vog {

// One recognised line of a file read: where its value's bytes stand, so that a save can
// rewrite the value alone and copy every other byte. A million of them for a large file:
// 32 bytes each.
struct ValueLine
{
    ValueLine() : lineStart(0), row(0), endLength(0), conditional(0) {}
    // The packed word made at once, as a read makes a million of them.
    ValueLine(qint64 start, int rowIndex, int end, bool inCondition)
        : lineStart(start), row(quint64(rowIndex)), endLength(quint64(end)),
          conditional(inCondition)
    {
    }

    qint64 lineStart : 52;    // the line's first byte in its file
    quint64 row : 9;          // its keyword table index
    quint64 endLength : 2;    // 0: the last line, without a line end; 1: LF; 2: CR LF
    quint64 conditional : 1;  // it stands inside a condition (in a branch taken)
    quint32 lineLength = 0;   // its bytes before the line end
    quint32 valueStart = 0;   // the value's bytes, within the line
    quint32 valueLength = 0;
    quint32 line = 0;         // its number in the file
    int file = -1;            // the source file
    int column = -1;          // the link record it set, -1 for a window keyword,
                              // LinkStore::DefaultsColumn for a LinkDefaults block's line

    qint64 next() const { return lineStart + lineLength + endLength; }
    Origin origin() const { return {file, line}; }
};

// What the user made of one keyword value, in a window (column -1) or in a link record.
struct Change
{
    enum Kind { Set, Remove, Lines } kind = Set;
    QString text;      // Set: the value as it is to be written
    QStringList lines; // Lines: a line list as shown, one value a line
    std::vector<Origin> origins; // Lines: the line of a file each came from, none for one
                                 // typed (nor past those given)
};

// What a keyword of one record is in effect: the user's change, else the record's own line,
// else, for a link, what it inherits from the defaults.
struct InEffect
{
    QByteArray words;          // UTF-8 for a change, the file's bytes for a line
    Origin origin;             // the line that says it; none for a change
    const TextCodec *codec = nullptr; // how its words read
    bool changed = false;      // the user's, of this record or of the defaults it inherits
    bool removed = false;      // a change that removes it
    bool inherited = false;    // from the defaults
    // Whether anything sets it.
    bool isSet() const { return changed ? !removed : origin.isSet(); }
    QString text() const { return codec ? codec->decode(words) : QString(); }
};

// The edits of one save, worked out once from the changes: the files it writes, each file's new
// bytes and, once they are written, where the lines stand. It holds while the lines and the
// changes stay as they were; used after a change to either, it is worked out again.
class SavePlan
{
public:
    SavePlan();
    ~SavePlan();
    SavePlan(SavePlan &&) noexcept;
    SavePlan &operator=(SavePlan &&) noexcept;
    // The files with an edit, in the order read.
    const std::vector<int> &files() const { return m_files; }
    struct Edit; // known to the document's render alone

private:
    friend class ConfigDocument;
    friend class Render;
    std::map<int, std::vector<Edit>> m_edits; // by file, each file's in file order
    std::vector<int> m_files;
    quint64 m_version = 0; // the document's when worked out
};

// What the files say and what the user changed: every recognised line of every file read, the
// files' facts, and the user's changes by keyword. It knows no widget. The Open fills it as it
// reads; the fields report the user's changes to it; Save renders the changed files from it.
class ConfigDocument
{
public:
    ConfigDocument();

    // Forgets every file and change, and the link records: new windows show a new document.
    // The change handler stays, and is not called.
    void clear();

    // The read. A file opened by the user (not through an include) becomes the main file,
    // where values that no file set are written. Its lines are read from the state given.
    void beginFile(int file, bool isMain, const LineState &start = LineState());
    // A line not kept is only looked at for a length that a save can't rewrite.
    void record(const KeywordLine &line, int column, bool keep = true);
    // The file's facts, once its last line is read and left the state `after`.
    void endFile(int file, const LineReader &lines, const LineState &after);
    int mainFile() const { return m_mainFile; }

    // The line that took effect for a keyword: the last one read. Null if no file set it.
    const ValueLine *lastLine(const KeywordRow &row, int column = -1) const;
    // Every line that set a keyword, in the order read.
    std::vector<const ValueLine *> linesOf(const KeywordRow &row, int column = -1) const;
    // The lines of a link record, in the order read. For the defaults, the lines of the blocks
    // of the main file and those read after it, from the last "LinkDefaults destroy" on, their
    // begin and end lines too.
    std::vector<const ValueLine *> linesOfLink(int column) const;
    // The line of the last "LinkDefaults destroy" since the main file's first, or null.
    const ValueLine *lastDestroy() const;
    // What a keyword of a record is in effect: for a window keyword (column -1) the user's
    // change or the last line read; for a link record its own change or line, else what it
    // inherits (the defaults as the user changed them where it takes the last block's, else
    // as they stood at its link line). Without ownChange, this record's own change is passed
    // over: what the files say, or what it inherits.
    InEffect inEffect(const KeywordRow &row, int column, bool ownChange = true) const;
    // The option a radio rule that follows a window keyword (a link's LinkBundleNameStyle)
    // takes where its record says nothing: the one captioned as the option that keyword's value
    // in effect selects. -1, which selects nothing, for any other rule, and where nothing sets
    // the keyword followed.
    int followedOption(const KeywordRow &row) const;
    // A value's bytes as its file says them: kept for window keywords, the link record's cell
    // for the line that set a link value last (empty for a link line overridden later).
    QByteArrayView valueBytes(const ValueLine &line) const;
    // A value as the user reads it, in its file's codepage.
    QString valueText(const ValueLine &line) const;

    // The user's changes. A value set back to what its file says is no longer a change. A text
    // emptied, a choice emptied and a block of flags with no box on remove the keyword.
    void setValue(const KeywordRow &row, int column, const QString &text);
    void removeValue(const KeywordRow &row, int column = -1);
    // A line list's lines, each from the origin given for it; empty lines are no values.
    void setLines(const KeywordRow &row, const QStringList &lines,
                  const std::vector<Origin> &origins = {});
    const Change *change(const KeywordRow &row, int column = -1) const;
    // A line list's values as they are in effect, the user's or those read, and where each
    // came from.
    struct ListLines
    {
        QStringList lines;
        std::vector<Origin> origins;
    };
    ListLines listLines(const KeywordRow &row) const;
    bool hasChanges() const
    {
        return !m_changes.empty() || !m_unsaved.empty() || m_areas.hasChanges();
    }
    // Called whenever a change is made, dropped or saved.
    void setChangeHandler(std::function<void()> handler) { m_changed = std::move(handler); }

    // Saving. The edits of every change, by file: the files that a save writes are, for each
    // file on disk with a change, the source file read last at that path. Throws a
    // RenderError for a character a file's codepage can't hold or one no line can carry.
    SavePlan planSave() const;
    // The file's new bytes: its bytes as read, with every change that lands in it.
    QByteArray render(const SavePlan &plan, int file, QByteArrayView bytes) const;
    QByteArray render(int file, QByteArrayView bytes) const
    {
        return render(planSave(), file, bytes);
    }
    // The same new bytes as the pieces they are made of, in order: slices of bytes and the
    // plan's own, valid while both last. The plan must be one worked out since the last change.
    std::vector<QByteArrayView> renderPieces(const SavePlan &plan, int file,
                                             QByteArrayView bytes) const;
    // After the new bytes were written: the lines of the file move to where they now stand,
    // its facts become those of the new bytes, and its changes are done.
    void saved(const SavePlan &plan, int file, QByteArrayView bytes);
    void saved(int file, QByteArrayView bytes) { saved(planSave(), file, bytes); }
    // Once every file of a save is written: the changes are done.
    void changesSaved();

    // Links as a whole. Each edits the bytes of the link's file as they now stand (bytes not
    // saved yet, or the file as read, which must still be what was read), and that file's lines
    // follow the edit; the records of the links after it move one on or back, with the user's
    // changes of them. Unsaved until a save writes them with every other change.
    // A section runs from its link line to the last line before the next link line, the next
    // LinkDefaults line that opens, closes or empties the defaults (one with another value is
    // the link's own), the next area line or the end of its file that is neither empty nor a
    // comment: area lines belong to no link, so a copy doesn't repeat them and a removal keeps
    // them. Each throws
    // a CommandError for a file changed on disk or a text its codepage can't hold.
    //
    // A new link, "Link NAME" and "Aka ADDRESS" spelled and placed as the link and Aka lines
    // of the section before it, after the last section of the file of the link `near` (of the
    // main file for none; at its end when it has no link), one empty line before it. Gives its
    // column.
    int addLink(int near, const QString &name, const QString &address);
    // Every line of a link's section, its name and first address replaced, after the section,
    // one empty line before it. Gives the copy's column.
    int copyLink(int column, const QString &name, const QString &address);
    // The link line's value, as any change of a value.
    void renameLink(int column, const QString &name);
    // The section's lines and the empty lines right before its link line go, but for the
    // General Keywords and Files and Paths lines inside it, which stay where they are. With
    // offAreas, the link's addresses are then taken off every area that has them.
    void removeLink(int column, bool offAreas = false);
    // Why a link can't be named so or, where an address is given, have it: an empty name, a
    // name another link has (without regard to case), a text that is no address, an address of
    // another link. Empty where it can. Link `except` is passed over (the one renamed).
    QString linkRefusal(const QString &name, const QString *address, int except = -1) const;
    // The Aka addresses of a link as they are in effect, in order.
    QStringList linkAddresses(int column) const;
    // The links that have this address (without regard to case), the user's changes included.
    std::vector<int> linksWithAddress(const QString &address) const;
    // The lines of a link's section, as a removal would take them.
    qint64 sectionLineCount(int column) const;
    // A section of a file: a link's, from its link line to the line before the next link
    // line, the next LinkDefaults line that opens or empties the defaults, or the next area
    // line; or a LinkDefaults block's, from its begin line to its end line (or the link line
    // that closes it). By line number, and where in the file's bytes it starts and what
    // follows it starts (-1: the file's end).
    struct Section
    {
        int column;       // the link's record, or LinkStore::DefaultsColumn for a block
        qint64 firstLine;
        qint64 lastLine;  // its last keyword line
        qint64 start;
        qint64 next;
    };
    // The file's sections in file order, as its lines now stand.
    const std::vector<Section> &sections(int file) const;
    // A link of the file of record `near` (of the main file for none) is about to be added,
    // copied or removed: its bytes are read meanwhile, while the user answers the dialog, for
    // the edit to take. Dropped, the bytes let go, when the dialog is not answered.
    void readAhead(int near);
    void dropReadAhead();
    // The bytes a file was just read from, kept by the reader: the edits of its links start
    // from them rather than from a read of the file again.
    void bytesRead(int file, const QByteArray &bytes);
    // The link line of a link record; null for a link whose file was read again since, whose
    // record stands in no file now.
    const ValueLine *linkLine(int column) const;
    // A link's name as the user now sees it, a rename included.
    QString linkName(int column) const;
    // The bytes a file's lines stand in while a link added or removed in it is not saved yet;
    // null for a file whose lines stand in its bytes as read.
    const QByteArray *unsavedBytes(int file) const;
    // Where those bytes are still the bytes as read: spans of them in order, each `length`
    // bytes at `at` there and at `from` in the bytes as read; the bytes between them are new.
    // Null for a file whose lines stand in its bytes as read.
    struct KeptSpan
    {
        qint64 at;
        qint64 length;
        qint64 from;
    };
    const std::vector<KeptSpan> *keptSpans(int file) const;
    // The file as a save must still find it on disk.
    SourceFile onDisk(int file) const;

    // The link records: column k + 1 is the k-th link read, column 0 the per-link lines before
    // a file's first link, LinkStore::DefaultsColumn the defaults as the last block left them.
    LinkStore &links() { return m_links; }
    const LinkStore &links() const { return m_links; }

    // The area lines of the files read, and the user's changes of them.
    AreaLines &areas() { return m_areas; }
    const AreaLines &areas() const { return m_areas; }

    // What the lines besides the values say. A line of the file read now that is no value in
    // effect (a condition, a set or CommentChar line, a keyword in a branch not taken).
    void noteOtherLine(const LineFacts &facts, qint64 line);
    // The lines of a keyword in branches not taken, in the order read.
    std::vector<Origin> linesNotTaken(const KeywordRow &row) const;
    // The state a file's first line was read from, and the state at an Include line: the one
    // the file it names starts from (its conditions closed).
    LineState startOf(int file) const;
    LineState stateAt(const Origin &includeLine) const;
    // The names the files compare [module] with, in the order first met.
    const QByteArrayList &modules() const { return m_modules; }
    // The first condition on [module]: its file and its if and endif lines (file -1: none).
    struct ModuleLines
    {
        int file = -1;
        qint64 from = 0;
        qint64 to = 0;
    };
    ModuleLines moduleLines() const { return m_moduleLines; }
    // What a field's tool tip tells beside the line that set the value: the line's trailing
    // comment, the value the tosser reads after expansion (or that a word in back quotes keeps
    // it from being known), Address's other lines, and the lines of the keyword in branches
    // not taken. One note a line; none for a value the user typed.
    QStringList notesOf(const KeywordRow &row, int column) const;
    // A value the tosser reads after its [NAME] words are expanded; false where a word in back
    // quotes keeps it from being known. The value as written where it needs no expansion.
    bool expandedValue(const ValueLine &line, QByteArray &value) const;
    // The path the tosser would follow for a field's text: its [NAME] words expanded as at the
    // value's line (as at the main file's start for a value no line sets); empty where a word
    // in back quotes keeps it from being known. Where a browse of the field starts.
    QString pathSeen(const KeywordRow &row, int column, const QString &text) const;

    // How a line the program adds to a file spells its keyword and what follows it: as the
    // file spells that keyword elsewhere, else in lower case where most of its keyword lines
    // are, else as the table has it; the keyword's separator, else the neighbour's (a line of
    // row `neighbour`, -1 for none), else one blank.
    QByteArray newLinePart(int file, const KeywordRow &row, int neighbour = -1) const;

    // Whether how a file's lines read depends on lines before them (a condition, a set or
    // CommentChar line, or another comment character from the start): an edit of it is then
    // followed by a read of the whole file.
    bool readsInContext(int file) const { return m_inContext.contains(file); }

private:
    struct Key
    {
        int row;
        int column;
        bool operator<(const Key &o) const
        {
            return row != o.row ? row < o.row : column < o.column;
        }
    };
    // Whether these words read back as what the file says.
    bool matchesFile(const KeywordRow &row, int column, const QString &text) const;
    void put(const Key &key, Change change, bool same);
    void notify();
    void index(quint32 at, const ValueLine &line, QByteArrayView value = {});
    // Drops the lines marked Dropped and builds the indexes again.
    void reindex();
    // The defaults' versions built again from the lines, in the order read.
    void replayDefaults();
    // The lines put in a new order, some dropped: where[i] is the new place of line i, or Gone.
    void reorder(const std::vector<quint32> &where, std::size_t count);
    // After a save: the file's lines moved by the edits that made its new bytes, without
    // reading it again; false, with nothing changed, where a full read must tell.
    bool followEdits(const SavePlan &plan, int file, QByteArrayView bytes);
    // The plan's edits of a file, or those of a plan worked out again into fresh when the
    // lines or the changes moved on since.
    const std::vector<SavePlan::Edit> &editsOf(const SavePlan &plan, int file,
                                                SavePlan &fresh) const;
    // A line a save added, to stand before the line now at index `before`, and its value.
    struct NewValueLine
    {
        std::size_t before;
        ValueLine line;
        QByteArray value;
    };
    // Those lines put in, in order, their kept bytes and indexes with them.
    void insertLines(const std::vector<NewValueLine> &lines);
    // The lines marked Dropped taken out and these put in, each before the line that stood
    // at its index.
    void placeLines(std::vector<NewValueLine> added);
    // The full read of a saved file's new bytes.
    void readSaved(int file, QByteArrayView bytes);
    // The file's lines read again from these bytes, its link lines taking these columns in
    // order; its cells are written anew.
    void readAgain(int file, QByteArrayView bytes, const std::vector<int> &columns);
    // The columns of the file's link lines, in file order.
    std::vector<int> columnsOf(int file) const;
    // The section that this link line or LinkDefaults begin line starts, the file's first area
    // line after it starting at `area` (-1: none).
    Section sectionAt(const ValueLine &first, qint64 area) const;
    // Where a section ends in the file's bytes.
    qint64 sectionEnd(const ValueLine &link, QByteArrayView bytes) const;
    QByteArray bytesNow(int file) const;
    // A link edit of a file's bytes: [at, at + removed) replaced by `inserted` bytes, whose
    // link keywords are those of record `column` (none for -1), their line ends counted.
    struct Splice
    {
        qint64 at = 0;
        qint64 removed = 0;
        qint64 inserted = 0;
        qint64 removedLines = 0;
        qint64 removedCrlf = 0;
        bool wholeLines = false; // whole lines replaced by whole lines
        int column = -1;
        bool follows = false; // canFollow()
    };
    // The edit about to be made in the file's bytes now. Throws, before the records change,
    // where it can't be made.
    Splice planSplice(int file, QByteArrayView bytes, qint64 at, qint64 removed,
                      QByteArrayView inserted, int column) const;
    // That edit made, kept unsaved until a save; its lines follow, or are read again, their
    // link lines taking `columns` in order.
    void splice(int file, QByteArray bytes, const Splice &s, const QByteArray &inserted,
                const std::vector<int> &columns);
    // Whether the file's lines can follow that edit without a read of the whole file: where
    // a line end changes, or lines after it would fall to another record, only that read can
    // tell.
    bool canFollow(int file, const Splice &splice, QByteArrayView inserted) const;
    // After that edit: the file's lines moved, those taken out dropped and those put in read
    // alone.
    void followSplice(int file, QByteArrayView bytes, const Splice &splice);
    // The link's section taken out, as removeLink does.
    void removeSection(int column);
    // A new record at `column`, its section's bytes put in at `at`.
    int insertRecord(int file, int column, QByteArray bytes, qint64 at, const QByteArray &section);
    // Records from `column` on move one on (by 1) or back (by -1), with their changes.
    void shiftColumns(int column, int by);
    friend class Render;
    static constexpr int Dropped = -2;
    static constexpr quint32 Gone = quint32(-1);

    // The lines read, in one block that grows without a copy.
    using Lines = PageBlock<ValueLine>;

    Lines m_lines;
    ByteBlock m_windowBytes;
    QSet<int> m_tooLong; // files with a line too long to rewrite
    // Counts the changes to the lines and to the user's changes: each read of a file (its
    // lines recorded between its begin and end), each save, each change.
    quint64 m_version = 1;
    int m_readingFile = -1;
    // Window keywords' lines by row, and the defaults blocks' lines, each with where its
    // value's bytes are kept (the fields show them and a change is compared with them; the
    // defaults' build their versions again after a save); the lines before each file's first
    // link (column 0) one by one. A link record's lines follow its link line, so each later
    // column keeps where its lines start and end: lines of other keywords between them are
    // passed over.
    struct RowLine
    {
        quint32 line;
        quint32 size; // the value as read: without the stray CRs that valueLength counts
        qint64 bytesAt;
    };
    QByteArrayView keptBytes(const RowLine &line) const
    {
        return QByteArrayView(m_windowBytes).sliced(line.bytesAt, line.size);
    }
    // The entry of the line at index `at` in a row's kept lines, or the defaults', or null.
    static RowLine *entryOf(std::vector<RowLine> &lines, quint32 at);
    // The kept bytes of a line of a row, or of the defaults; empty for a line not kept there.
    QByteArrayView keptBytes(const std::vector<RowLine> &lines, const ValueLine &line) const;
    struct Span
    {
        quint32 first = 0;
        quint32 end = 0; // 0: no line
    };
    std::vector<std::vector<RowLine>> m_byRow;
    std::vector<RowLine> m_defaults;
    std::vector<quint32> m_firstColumn;
    std::vector<Span> m_byColumn;
    std::map<Key, Change> m_changes;
    int m_mainFile = -1;
    std::function<void()> m_changed;
    LinkStore m_links;
    // Files whose lines stand in bytes not saved yet, and what their facts were on disk.
    std::map<int, QByteArray> m_unsaved;
    std::map<int, std::vector<KeptSpan>> m_keptSpans; // of each of those
    struct DiskFacts
    {
        qint64 size;
        quint64 fingerprint;
    };
    std::map<int, DiskFacts> m_disk;
    // A file's bytes read ahead of a link edit, for the facts it had then.
    struct ReadAhead
    {
        int file = -1;
        qint64 size = 0;
        quint64 fingerprint = 0;
        std::shared_future<QByteArray> bytes;
    };
    mutable ReadAhead m_ahead;
    // Each file's sections, found again once the lines changed since.
    struct Sections
    {
        quint64 version = 0;
        std::vector<Section> list;
    };
    mutable std::map<int, Sections> m_sections;
    AreaLines m_areas;
    // The line grammar's facts, by file.
    struct NotTaken
    {
        qint64 line;
        int file;
        int row;
    };
    std::vector<NotTaken> m_notTaken;
    std::map<std::pair<int, qint64>, LineState> m_includeStates;
    std::map<int, LineState> m_starts;
    QByteArrayList m_modules;
    ModuleLines m_moduleLines;
    QSet<int> m_inContext;
    // A line's trailing comment, by file in line order, found again from the new bytes once a
    // file's lines move. Few lines have one: their bytes are kept together, not each in a block
    // of its own. What a value with [NAME] expands to is worked out when asked, from the state
    // of the lines before it: kept at the lines where its variables changed, a few per file.
    struct LineNote
    {
        quint32 line;
        quint32 commentLength;
        qsizetype at; // the comment's bytes in the file's block
    };
    struct FileNotes
    {
        std::vector<LineNote> lines;
        QByteArray bytes;
        std::vector<std::pair<quint32, LineState>> states; // from the line on, by line
    };
    std::map<int, FileNotes> m_notes;
    // The state a value of the line expands in (its conditions left out).
    LineState expansionState(const ValueLine &line) const;
    const LineNote *noteOf(const ValueLine &line, const FileNotes **in) const;
    // How each file spells its keywords: the first line of each row, by row.
    struct Spelling
    {
        std::vector<QByteArray> keyword;
        std::vector<QByteArray> separator;
        qint64 lowerCase = 0;
        qint64 otherCase = 0;
    };
    std::map<int, Spelling> m_spelling;
    Spelling *m_readingSpelling = nullptr; // the file's read now
    void noteLine(const KeywordLine &line);
    void noteSpelling(const KeywordLine &line);
    // The comments of a file's lines found again in its new bytes, once its lines moved.
    void findCommentsAgain(int file, QByteArrayView bytes);
    // What an earlier read of the file said of it goes; the file starts from this state.
    void beginGrammar(int file, const LineState &start);
};

// The program's one document.
ConfigDocument &document();

// Pieces of new bytes (renderPieces) as one block of bytes.
QByteArray joinPieces(const std::vector<QByteArrayView> &pieces);

} // namespace vog
