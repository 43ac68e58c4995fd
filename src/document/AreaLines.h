#pragma once

#include "reader/AreaLine.h"
#include "reader/PageBlock.h"
#include "reader/SourceFiles.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace vog {

class LineReader;
class LineState;
struct LineFacts;

// The area lines of every file read, in the order read, and what the user made of them: an
// area's state changed, a new area, an area removed. An area is numbered by its place among
// them; a new one comes after all that were read until a save writes it into its file. The
// Open keeps each line's bytes as they stand in its file and splits a line only when asked.
class AreaLines
{
public:
    // The read: a file's lines one by one, as the Open reads them. A file read again replaces
    // what its earlier read said, the user's changes of its areas too.
    void clear();
    void beginFile(int file);
    // `facts` are the line grammar's for the line (its words end before its comment), and
    // commentChar the comment character in effect at it; at the file's end, at its end.
    void lineRead(int file, const LineReader &lines, const LineFacts &facts, char commentChar);
    void endFile(int file, char commentChar);
    // A file's bytes, read whole, that stay as they are for as long as its areas are kept (the
    // holder keeps them alive): its area lines read from them are kept where they stand
    // instead of being copied, which for a hub's file saves a copy of most of it.
    void borrow(int file, const QByteArray &bytes, std::shared_ptr<const void> holder);

    int count() const { return int(m_areas.size()); }
    bool isRemoved(int area) const { return m_areas[std::size_t(area)].removed; }
    bool isChanged(int area) const;
    // What the user made of the area, else what its line says.
    AreaState state(int area) const;
    AreaState fileState(int area) const;
    // The words a filter looks in, in lower case, UTF-8: the tag, the description and each
    // link's address, a line feed between them.
    void appendSearchText(int area, QByteArray &out) const;
    // What the filter looks for in that text for the text typed: trimmed, in lower case, UTF-8;
    // empty keeps every area.
    static QByteArray filterNeedle(const QString &text);
    // Whether the filter keeps the area: its text holds the needle.
    bool filterKeeps(int area, QByteArrayView needle) const;
    // A needle as the filter looks for it in search texts: one that reads as a whole address
    // (`whole`) is looked for as a word of its own, from the line feed before it, so that
    // 2:5020/1 does not find 2:5020/100; and whether a hit at `at` ends as such a word does.
    static QByteArray filterWanted(QByteArrayView needle, bool &whole);
    static bool filterWordEnds(QByteArrayView text, qsizetype at, qsizetype wanted, qsizetype end,
                               bool whole)
    {
        return !whole || at + wanted == end || text[at + wanted] == '\n';
    }
    // Whether a search text holds the needle as the filter looks for it.
    static bool filterMatches(QByteArrayView text, QByteArrayView needle);
    // The bytes of the lines kept, for a guess of what their texts take.
    qsizetype lineBytes() const { return m_bytes.size(); }
    // The tag alone, as the user reads it.
    QString tag(int area) const;
    // The tag's bytes as its line holds them, where that is plain ASCII and unchanged (the
    // same text in any codepage); false otherwise.
    bool asciiTag(int area, QByteArrayView &bytes) const;
    // The comment character in effect where the area's line stands, or where a new one goes:
    // what its words must not be taken for.
    char commentChar(int area) const;
    // The tags of the areas not removed, in lower case, sorted: what a new area's tag is
    // looked up in.
    std::vector<QString> takenTags() const;
    // Why a new area can't have this tag (empty, with a blank, or another area's, without
    // regard to case), or empty where it can.
    static QString tagRefusal(const QString &tag, const std::vector<QString> &taken);
    // A field the area's line lacks that the EchoAreaDefaults line before it gives: its value
    // and that line; false where the line has the field or no defaults give it.
    bool inheritedField(int area, int field, QString &value, Origin &origin) const;

    // The user's changes, each reported once to the change handler. A state that is what the
    // line says is no change.
    void setState(int area, const AreaState &state);
    void setStates(const std::vector<std::pair<int, AreaState>> &states);
    // A new area "EchoArea TAG PATH", its keyword spelled as in the area picked (or the
    // file's last area line), for the file of the area picked, or the main file when none is.
    // Throws a RenderError for a character the file's codepage can't hold. Returns its number.
    int addArea(const QString &tag, const QString &path, int picked, int mainFile);
    void removeAreas(const std::vector<int> &areas);
    // Takes a link off every area that has it; how many areas it changed.
    int removeLinkEverywhere(const QString &address);
    bool hasChanges() const { return m_changes > 0; }
    // Where the first area line of the file at or after a byte starts, or -1.
    qint64 firstLineFrom(int file, qint64 from) const;
    // Where the area lines of the file as read start, in file order.
    std::vector<qint64> lineStarts(int file) const;
    // Whether an area of this file is changed, added or removed.
    bool hasChangesIn(int file) const;

    // Saving: each changed line's new bytes, a removed line's bytes with its line end gone, the
    // new lines after the last area line of their file (or at its end). Throws a RenderError.
    struct LineEdit
    {
        int file;
        qint64 at;
        qint64 end;
        QByteArray bytes;
    };
    std::vector<LineEdit> edits() const;
    // After the file's new bytes were written: its area lines found again where they now stand;
    // with a state, only those in effect read from it (a file with conditions).
    void saved(int file, QByteArrayView bytes, const LineState *start = nullptr);
    // Bytes put in or taken out of a file before `from`, which hold no area line: its area
    // lines from there on move by that many bytes and lines.
    void moved(int file, qint64 from, qint64 bytes, qint64 lines);
    void changesSaved();

    // Counts what the windows must show again: each read, save and change.
    quint64 generation() const { return m_generation; }
    // Called for every change of the user's; and whenever the lines were read or found again.
    void setChangeHandler(std::function<void()> handler) { m_changed = std::move(handler); }
    void setReadHandler(std::function<void()> handler) { m_read = std::move(handler); }

private:
    struct Area
    {
        qint64 lineStart = 0;
        qint64 bytesAt = 0; // its line's bytes in m_bytes; below 0, in its file's borrowed
                            // bytes, at -1 - bytesAt
        quint32 length = 0; // before the line end, stray CRs counted
        quint32 words = 0;  // its words' bytes: before a trailing comment and the blanks before it
        quint32 line = 0;
        int file = -1;
        quint8 endLength = 0;
        bool removed = false;
        bool added = false;
        char commentChar = '#'; // a line read: the one in effect at it
        int state = -1; // the user's state in m_states, or -1
        int defaults = -1; // the EchoAreaDefaults in effect for it, in m_defaults, or -1
    };
    // An "EchoAreaDefaults OPTIONS" line: the options the area lines after it lack, until the
    // next one ("EchoAreaDefaults OFF" ends them).
    struct Defaults
    {
        int file;
        quint32 line;
        QByteArray options;
    };
    std::vector<Defaults> m_defaults;
    int m_currentDefaults = -1;
    std::map<int, int> m_defaultsAtStart; // by file: those in effect at its first line
    std::map<int, char> m_endCommentChar; // by file: the comment character at its end
    // Whether the line is an EchoAreaDefaults line; it then sets what follows it.
    bool readDefaults(int file, const LineReader &lines, const LineFacts &facts);
    // The bytes of an area line that hold its words; its comment stays as written.
    QByteArrayView bytesOf(const Area &a) const { return lineOf(a).first(a.words); }
    // Its line, before the line end.
    QByteArrayView lineOf(const Area &a) const
    {
        if (a.bytesAt < 0)
            return QByteArrayView(m_borrowed[std::size_t(a.file)].bytes)
                    .sliced(-1 - a.bytesAt, a.length);
        return QByteArrayView(m_bytes).sliced(a.bytesAt, a.length);
    }
    QByteArray lineEnd(int file) const;
    // The area line of the file that its new lines go after: its last that stays, else its
    // last; null for none, and they go at the file's end.
    const Area *anchorOf(int file) const;
    // The comment character in effect where they go: the anchor's, else the file's end's.
    char newLinesCommentChar(int file) const;
    // Keeps a state wanted for an area, or drops it where it is the line's.
    bool put(Area &a, const AreaState &state);
    void countChanges();
    void compact();

    std::vector<Area> m_areas;
    std::vector<AreaState> m_states;
    // A hub's area lines run to megabytes: a block that grows without copying them.
    ByteBlock m_bytes;
    struct Borrowed
    {
        QByteArray bytes;
        std::shared_ptr<const void> holder;
    };
    std::vector<Borrowed> m_borrowed; // by file
    // Where a line read stands in its file's borrowed bytes; -1 where it stands elsewhere.
    qint64 borrowedOffset(int file, QByteArrayView raw) const;

    int m_changes = 0;
    quint64 m_generation = 1;
    std::function<void()> m_changed;
    std::function<void()> m_read;
};

} // namespace vog
