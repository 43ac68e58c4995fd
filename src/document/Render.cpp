// How the user's changes become bytes: each change names the few bytes it replaces, removes or
// adds in one file, and every other byte of the file is copied as it was.

#include "ConfigDocument.h"
#include "SavePlanEdit.h"

#include "reader/ConfigRead.h"
#include "reader/Errors.h"
#include "reader/LargePages.h"
#include "reader/LinkStore.h"
#include "reader/Text.h"

#include <dtl/dtl.hpp>

#include <algorithm>

namespace vog {

SavePlan::SavePlan() = default;
SavePlan::~SavePlan() = default;
SavePlan::SavePlan(SavePlan &&) noexcept = default;
SavePlan &SavePlan::operator=(SavePlan &&) noexcept = default;

namespace {

using Edit = SavePlan::Edit;

} // namespace

class Render
{
public:
    explicit Render(const ConfigDocument &document) : d(document)
    {
        for (const auto &[key, change] : d.m_changes) {
            const KeywordRow &row = keywordTable()[std::size_t(key.row)];
            if (change.kind == Change::Lines)
                list(row, change.lines);
            else if (change.kind == Change::Remove)
                for (const ValueLine *l : d.linesOf(row, key.column))
                    remove(*l);
            else
                set(row, key.column, change.text);
        }
        newBlock();
    }

    std::map<int, std::vector<Edit>> edits; // by file, in the order made

private:
    void set(const KeywordRow &row, int column, const QString &text)
    {
        if (const ValueLine *last = d.lastLine(row, column)) {
            QByteArray bytes = encode(row, column, last->file, text, last);
            // A switch written alone gets its value after one blank.
            if (!last->valueLength)
                bytes.prepend(' ');
            edits[last->file].push_back({last->lineStart + last->valueStart,
                                         last->lineStart + last->valueStart + last->valueLength,
                                         std::move(bytes), last, column});
            return;
        }
        place(row, column, text);
    }

    // A value that no file set: after the link's last line, or the window's last keyword in
    // the main file.
    void place(const KeywordRow &row, int column, const QString &text)
    {
        if (column == LinkStore::DefaultsColumn) {
            placeDefault(row, text);
            return;
        }
        if (column > 0) {
            const std::vector<const ValueLine *> link = d.linesOfLink(column);
            // Outside every condition: after the link's last line that stands in none.
            const auto last = std::find_if(link.rbegin(), link.rend(),
                                           [](const ValueLine *l) { return !l->conditional; });
            if (!link.empty()) {
                insertAfter(last != link.rend() ? **last : *link.back(), row, column, text);
                return;
            }
            // A link whose file was read again since has no section now: its value would land
            // outside every section, in another link's or none.
            throw RenderError(fieldName(row, column)
                              + QStringLiteral(": the link's file was read again since, and the "
                                               "link is edited where that read lists it"));
        }
        const int file = d.m_mainFile;
        if (file < 0)
            throw RenderError(fieldName(row, column)
                              + QStringLiteral(": no file was opened to write it into"));
        const ValueLine *anchor = nullptr;
        const ValueLine *firstLink = nullptr;
        for (const ValueLine &l : d.m_lines) {
            if (l.file != file)
                continue;
            const KeywordRow &r = keywordTable()[l.row];
            if ((column < 0 ? (l.column < 0 && r.place == row.place) : l.column == 0)
                && !l.conditional)
                anchor = &l;
            // Before a block, too: its lines are the defaults'.
            if (!firstLink && (r.kind == ValueKind::LinkName || l.column == LinkStore::DefaultsColumn))
                firstLink = &l;
        }
        if (column == 0 && !anchor && firstLink)
            insertBefore(*firstLink, row, column, text);
        else if (anchor)
            insertAfter(*anchor, row, column, text);
        else
            insertAtEnd(file, row, column, text);
    }

    // A default that no block set: into the last block, before its end line if it has one;
    // with no block since the defaults were last emptied, into a block of its own.
    void placeDefault(const KeywordRow &row, const QString &text)
    {
        // Every line of the defaults is a block's: its begin line, its values, the end line
        // that closed it.
        const std::vector<const ValueLine *> lines = d.linesOfLink(LinkStore::DefaultsColumn);
        if (lines.empty()) {
            m_blockRows.push_back({&row, text});
            return;
        }
        const ValueLine &last = *lines.back();
        if (defaultsMark(keywordTable()[last.row], d.valueBytes(last)) == DefaultsMark::End)
            insertBefore(last, row, LinkStore::DefaultsColumn, text);
        else
            insertAfter(last, row, LinkStore::DefaultsColumn, text);
    }

    // The new block: after the last "LinkDefaults destroy", else before the main file's first
    // link, so that every link inherits it, else at the main file's end.
    void newBlock()
    {
        if (m_blockRows.empty())
            return;
        const ValueLine *after = d.lastDestroy();
        const int file = after ? after->file : d.m_mainFile;
        if (file < 0)
            throw RenderError(fieldName(*m_blockRows.front().first, LinkStore::DefaultsColumn)
                              + QStringLiteral(": no file was opened to write it into"));
        const KeywordRow &mark = *rowNamed("LinkDefaults");
        QByteArray block = newLine(mark, -1, file, QStringLiteral("begin")) + lineEnd(file);
        for (const auto &[row, text] : m_blockRows)
            block += newLine(*row, LinkStore::DefaultsColumn, file, text) + lineEnd(file);
        block += newLine(mark, -1, file, QStringLiteral("end"));
        const ValueLine *firstLink = nullptr;
        if (!after)
            for (const ValueLine &l : d.m_lines)
                if (l.file == file && keywordTable()[l.row].kind == ValueKind::LinkName) {
                    firstLink = &l;
                    break;
                }
        if (after && after->endLength == 0)
            edits[file].push_back({after->next(), after->next(), lineEnd(file) + block, nullptr,
                                   Edit::Block});
        else if (after)
            edits[file].push_back({after->next(), after->next(), block + lineEnd(file), nullptr,
                                   Edit::Block});
        else if (firstLink)
            edits[file].push_back({firstLink->lineStart, firstLink->lineStart,
                                   block + lineEnd(file), nullptr, Edit::Block});
        else {
            checkEndOutsideConditions(file, QStringLiteral("LinkDefaults"));
            insertAtEnd(file, Edit::Block, block);
        }
    }

    // The list as read against the list as shown, by a real diff: lines kept stay, removed
    // lines go from their own files, a line changed is changed in place, new lines go after
    // the nearest line above that stays (before the nearest below when none is above).
    void list(const KeywordRow &row, const QStringList &shown)
    {
        static const std::vector<ConfigDocument::RowLine> none;
        const std::vector<ConfigDocument::RowLine> &lines =
                std::size_t(row.index) < d.m_byRow.size() ? d.m_byRow[std::size_t(row.index)]
                                                          : none;
        const auto same = [&](std::size_t i, qsizetype k) {
            const ConfigDocument::RowLine &r = lines[i];
            const QByteArrayView bytes = d.keptBytes(r);
            const QStringView text = shown[k];
            if (isAscii(bytes))
                return QLatin1StringView(bytes) == text;
            return sourceFile(d.m_lines[r.line].file).codec.decode(bytes) == text;
        };
        // The lines both ends share are kept as they are, compared where they stand: an edit
        // near one end of a long list decodes and diffs only what lies between.
        std::size_t head = 0;
        while (head < lines.size() && qsizetype(head) < shown.size() && same(head, qsizetype(head)))
            ++head;
        std::size_t tail = 0;
        while (tail < lines.size() - head && qsizetype(tail) < shown.size() - qsizetype(head)
               && same(lines.size() - 1 - tail, shown.size() - 1 - qsizetype(tail)))
            ++tail;

        // The middle lines as read, decoded into one text, against the lines shown, compared as
        // views: a list of a hundred thousand lines makes no string of its own for each. No
        // byte gives more than one character, so the text never moves while it is filled.
        std::vector<const ValueLine *> old;
        std::vector<QStringView> before;
        QString read;
        const std::size_t middle = lines.size() - head - tail;
        qsizetype bytes = 0;
        for (std::size_t i = head; i < head + middle; ++i)
            bytes += lines[i].size;
        read.reserve(bytes);
        preferLargePages(read.data(), std::size_t(read.capacity()) * sizeof(QChar));
        old.reserve(middle);
        before.reserve(middle);
        for (std::size_t i = head; i < head + middle; ++i) {
            const ValueLine &l = d.m_lines[lines[i].line];
            const qsizetype from = read.size();
            sourceFile(l.file).codec.append(read, d.keptBytes(lines[i]));
            old.push_back(&l);
            before.push_back(QStringView(read.constData() + from, read.size() - from));
        }
        const std::vector<QStringView> after(shown.begin() + qsizetype(head),
                                             shown.end() - qsizetype(tail));
        dtl::Diff<QStringView, std::vector<QStringView>> diff(before, after);
        if (before.size() + after.size() > 10000)
            diff.onHuge();
        diff.compose();

        const ValueLine *above = head ? &d.m_lines[lines[head - 1].line] : nullptr;
        std::vector<const ValueLine *> removed;
        std::vector<QString> added;
        std::vector<QString> waiting; // new lines with no line above that stays
        const auto settle = [&](const ValueLine *next) {
            const std::size_t changed = std::min(removed.size(), added.size());
            for (std::size_t i = 0; i < changed; ++i) {
                const ValueLine &l = *removed[i];
                edits[l.file].push_back({l.lineStart + l.valueStart,
                                         l.lineStart + l.valueStart + l.valueLength,
                                         encode(row, -1, l.file, added[i], &l), &l, -1});
                above = &l;
            }
            for (std::size_t i = changed; i < removed.size(); ++i)
                remove(*removed[i]);
            for (std::size_t i = changed; i < added.size(); ++i) {
                if (above)
                    insertAfter(*above, row, -1, added[i]);
                else
                    waiting.push_back(added[i]);
            }
            if (changed && !waiting.empty())
                flushWaiting(waiting, *removed[0], row);
            if (next && !waiting.empty())
                flushWaiting(waiting, *next, row);
            removed.clear();
            added.clear();
        };
        for (const auto &[text, info] : diff.getSes().getSequence()) {
            if (info.type == dtl::SES_COMMON) {
                const ValueLine *kept = old[std::size_t(info.beforeIdx - 1)];
                settle(kept);
                above = kept;
            } else if (info.type == dtl::SES_DELETE) {
                removed.push_back(old[std::size_t(info.beforeIdx - 1)]);
            } else {
                added.push_back(text.toString());
            }
        }
        settle(tail ? &d.m_lines[lines[lines.size() - tail].line] : nullptr);
        for (const QString &text : waiting)
            place(row, -1, text);
    }

    void flushWaiting(std::vector<QString> &waiting, const ValueLine &below, const KeywordRow &row)
    {
        for (const QString &text : waiting)
            insertBefore(below, row, -1, text);
        waiting.clear();
    }

    void remove(const ValueLine &l)
    {
        edits[l.file].push_back({l.lineStart, l.next(), {}, &l, l.column});
    }

    // A new line spelled as the file spells its keyword, or as its neighbour's line.
    QByteArray newLine(const KeywordRow &row, int column, int file, const QString &text,
                       const ValueLine *neighbour = nullptr) const
    {
        return d.newLinePart(file, row, neighbour ? int(neighbour->row) : -1)
                + encode(row, column, file, text, nullptr);
    }

    QByteArray lineEnd(int file) const
    {
        return sourceFile(file).crlf ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\n");
    }

    void insertAfter(const ValueLine &l, const KeywordRow &row, int column, const QString &text)
    {
        const QByteArray line = newLine(row, column, l.file, text, &l);
        // After a last line without a line end: one before the new line, none after it.
        if (l.endLength == 0)
            edits[l.file].push_back({l.next(), l.next(), lineEnd(l.file) + line, nullptr, column});
        else
            edits[l.file].push_back({l.next(), l.next(), line + lineEnd(l.file), nullptr, column});
    }

    void insertBefore(const ValueLine &l, const KeywordRow &row, int column, const QString &text)
    {
        edits[l.file].push_back({l.lineStart, l.lineStart,
                                 newLine(row, column, l.file, text, &l) + lineEnd(l.file), nullptr,
                                 column});
    }

    void insertAtEnd(int file, const KeywordRow &row, int column, const QString &text)
    {
        checkEndOutsideConditions(file, fieldName(row, column));
        insertAtEnd(file, column, newLine(row, column, file, text));
    }

    void insertAtEnd(int file, int column, const QByteArray &line)
    {
        const SourceFile &f = sourceFile(file);
        const qint64 end = f.ctrlZ >= 0 ? f.ctrlZ : f.size;
        if (end > 0 && !f.lastLineEnded)
            edits[file].push_back({end, end, lineEnd(file) + line, nullptr, column});
        else
            edits[file].push_back({end, end, line + lineEnd(file), nullptr, column});
    }

    QString fieldName(const KeywordRow &row, int column) const
    {
        const QString name = QString::fromLatin1(row.name);
        if (column < 0)
            return name;
        if (column == LinkStore::DefaultsColumn)
            return name + QStringLiteral(" of LinkDefaults");
        if (column == 0)
            return name + QStringLiteral(" (before the first link)");
        return name + QStringLiteral(" of link ") + d.m_links.cellText(column, linkNameRow());
    }

    // The text in its file's codepage; a file shown value by value writes UTF-8, or Latin-1
    // where the value was Latin-1 before and still fits.
    QByteArray encode(const KeywordRow &row, int column, int file, const QString &text,
                      const ValueLine *old) const
    {
        for (const QChar c : text)
            if (c == u'\n' || c == u'\r' || c == QChar(26))
                throw RenderError(QStringLiteral("%1: the character U+%2 can't stand in a "
                                                 "configuration line")
                                          .arg(fieldName(row, column))
                                          .arg(c.unicode(), 4, 16, QLatin1Char('0')));
        // The comment character after a blank would cut the value short when it is read.
        const char comment = d.startOf(file).commentChar;
        qsizetype cut = -1;
        const QByteArray utf8 = QByteArray(" ") + text.toUtf8();
        for (const char c : {'#', comment})
            if (valueEndBeforeComment(utf8, 0, c, &cut); cut >= 0)
                throw RenderError(QStringLiteral("%1: \"%2\" would be read as a comment from "
                                                 "its blank and %3 on")
                                          .arg(fieldName(row, column), text, QChar::fromLatin1(c)));
        const TextCodec &codec = sourceFile(file).codec;
        const bool latin1 = old && !codec.isCodepage() && !isValidUtf8(d.valueBytes(*old));
        QByteArray out;
        char32_t unheld = 0;
        if (!codec.encode(text, out, unheld, latin1))
            throw RenderError(QStringLiteral("%1: the character \"%2\" (U+%3) can't be written "
                                             "in %4, the codepage of %5")
                                      .arg(fieldName(row, column),
                                           QString::fromUcs4(&unheld, 1))
                                      .arg(uint(unheld), 4, 16, QLatin1Char('0'))
                                      .arg(codec.name(), sourceFile(file).path));
        return out;
    }

    const ConfigDocument &d;
    std::vector<std::pair<const KeywordRow *, QString>> m_blockRows; // for a new block
};

SavePlan ConfigDocument::planSave() const
{
    SavePlan plan;
    plan.m_version = m_version;
    plan.m_edits = Render(*this).edits;
    // A file whose links were added or removed is written even with no value changed in it.
    for (const auto &unsaved : m_unsaved)
        plan.m_edits[unsaved.first];
    for (AreaLines::LineEdit &e : m_areas.edits())
        plan.m_edits[e.file].push_back({e.at, e.end, std::move(e.bytes), nullptr, Edit::Area});
    for (auto &[file, edits] : plan.m_edits) {
        // In file order; insertions at one place in the order made, before what is replaced
        // there.
        std::stable_sort(edits.begin(), edits.end(), [](const Edit &a, const Edit &b) {
            if (a.at != b.at)
                return a.at < b.at;
            return (a.end == a.at) > (b.end == b.at);
        });
        if (!edits.empty() || m_unsaved.count(file))
            plan.m_files.push_back(file);
    }
    return plan;
}

const std::vector<Edit> &ConfigDocument::editsOf(const SavePlan &plan, int file,
                                                 SavePlan &fresh) const
{
    static const std::vector<Edit> none;
    const SavePlan &used = plan.m_version == m_version ? plan : (fresh = planSave());
    const auto it = used.m_edits.find(file);
    return it == used.m_edits.end() ? none : it->second;
}

std::vector<QByteArrayView> ConfigDocument::renderPieces(const SavePlan &plan, int file,
                                                         QByteArrayView bytes) const
{
    if (m_tooLong.contains(file))
        throw RenderError(sourceFile(file).path
                          + QStringLiteral(": a line of it is too long to be rewritten"));
    if (plan.m_version != m_version)
        throw RenderError(sourceFile(file).path
                          + QStringLiteral(": the save was worked out before the last change"));
    static const std::vector<Edit> none;
    const auto it = plan.m_edits.find(file);
    const std::vector<Edit> &edits = it == plan.m_edits.end() ? none : it->second;
    std::vector<QByteArrayView> pieces;
    pieces.reserve(2 * edits.size() + 1);
    qint64 copied = 0;
    for (const Edit &e : edits) {
        if (e.at < copied || e.end > bytes.size())
            throw RenderError(sourceFile(file).path
                              + QStringLiteral(": the file is not as it was read"));
        pieces.push_back(bytes.sliced(copied, e.at - copied));
        pieces.push_back(e.bytes);
        copied = e.end;
    }
    pieces.push_back(bytes.sliced(copied));
    return pieces;
}

QByteArray ConfigDocument::render(const SavePlan &plan, int file, QByteArrayView bytes) const
{
    // A plan worked out before a change is worked out again (a file too long to rewrite is
    // refused first).
    SavePlan fresh;
    const SavePlan &used =
            plan.m_version == m_version || m_tooLong.contains(file) ? plan : (fresh = planSave());
    return joinPieces(renderPieces(used, file, bytes));
}

QByteArray joinPieces(const std::vector<QByteArrayView> &pieces)
{
    QByteArray out;
    qsizetype size = 0;
    for (QByteArrayView p : pieces)
        size += p.size();
    out.reserve(size);
    preferLargePages(out.data(), std::size_t(out.capacity()));
    for (QByteArrayView p : pieces)
        out.append(p);
    return out;
}

} // namespace vog
