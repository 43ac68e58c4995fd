#include "DocumentView.h"

#include "EditorWindow.h"
#include "TLink_Keywords.h"
#include "Windows.h"
#include "document/ConfigDocument.h"
#include "document/DocumentRead.h"
#include "fields/LineList.h"
#include "reader/Errors.h"
#include "reader/ValueRules.h"

#include <algorithm>

namespace vog {

namespace {

// Each field of the windows that show a window's own keywords.
template <typename Show>
void eachWindowField(Show &&show)
{
    for (const Shows shows : {Shows::GeneralKeywords, Shows::FilesAndPaths}) {
        const WindowRow *row = windowShowing(shows);
        auto *window = row ? static_cast<EditorWindow *>(row->instance()) : nullptr;
        if (!window)
            continue;
        for (const KeywordRow &keyword : keywordTable())
            if (Field *field = window->form()->field(keyword))
                show(*window, keyword, *field);
    }
}

// The one-value rows the Open showed from a line of a file it read, in the order shown, with
// the words the field then shows (a number as its field holds it). showChanges settles the
// user's changes of them.
struct ShownLine
{
    const KeywordRow *row;
    QString words;
};
std::vector<ShownLine> &shownFromFiles()
{
    static std::vector<ShownLine> shown;
    return shown;
}

enum class Show { InEffect, FilesSay };

// A line list shows the lines given, each naming its line, in place of what it shows or after
// it. A list may hold half a million lines: they go in with one edit.
void showList(LineList &list, const KeywordRow &row, const std::vector<const ValueLine *> &lines,
              Show show)
{
    std::vector<Origin> origins;
    origins.reserve(lines.size());
    QStringList texts;
    texts.reserve(qsizetype(lines.size()));
    for (const ValueLine *l : lines) {
        origins.push_back(l->origin());
        texts.append(document().valueText(*l));
    }
    if (show == Show::InEffect) {
        list.setLines(texts, origins);
        return;
    }
    list.appendLines(texts, origins);
    // The user's lines stay, the file's after them: that is the change now.
    if (const Change *change = document().change(row); change && !texts.isEmpty()) {
        std::vector<Origin> all = change->origins;
        all.resize(std::size_t(change->lines.size()));
        all.insert(all.end(), origins.begin(), origins.end());
        document().setLines(row, change->lines + texts, all);
    }
}

// The one way from the document to a window keyword's field: a one-value row shows the value
// in effect, or after an Open what the last of the lines given says (a number that doesn't
// convert stopped the read there: the line before it, if the file set one); a line list as
// showList does.
void showRow(EditorWindow &window, const KeywordRow &row, Field &field,
             const std::vector<const ValueLine *> &lines, Show show)
{
    if (auto *list = dynamic_cast<LineList *>(&field)) {
        showList(*list, row, lines, show);
    } else if (show == Show::InEffect) {
        if (!lines.empty())
            guarded([&] { window.showValue(row, -1); }, [](const QString &) {});
    } else {
        bool shown = false;
        for (auto l = lines.rbegin(); l != lines.rend() && !shown; ++l) {
            InEffect said;
            said.words = document().valueBytes(**l).toByteArray();
            said.origin = (*l)->origin();
            said.codec = &sourceFile(said.origin.file).codec;
            shown = true;
            // The notes are the line's in effect; a line before it, shown as a number stopped
            // the read, has none.
            const QStringList notes = l == lines.rbegin() ? document().notesOf(row, -1)
                                                           : QStringList();
            guarded([&] { window.showValue(row, said, notes); },
                    [&](const QString &) { shown = false; });
            if (!shown)
                continue;
            const QString words = row.kind == ValueKind::Number
                    ? QString::number(heldNumber(row, fieldState(row, said.words).number))
                    : document().valueText(**l);
            shownFromFiles().push_back({&row, words});
        }
    }
}

} // namespace

void showFileRead(int file)
{
    eachWindowField([&](EditorWindow &window, const KeywordRow &row, Field &field) {
        const std::vector<const ValueLine *> lines = lastFileLines(row, file);
        if (!lines.empty())
            showRow(window, row, field, lines, Show::FilesSay);
    });
}

void showChanges(bool fileReadAgain)
{
    std::vector<ShownLine> shown;
    shown.swap(shownFromFiles());
    eachWindowField([&](EditorWindow &window, const KeywordRow &row, Field &field) {
        const Change *change = document().change(row);
        // A list's change has the lines read already, added as they were shown.
        if (!change || dynamic_cast<LineList *>(&field))
            return;
        if (fileReadAgain) {
            guarded([&] { window.showValue(row, -1); }, [](const QString &) {});
            return;
        }
        // The user's change ends where a file read showed a line of the row: the value is that
        // line's, which is no change where it is the line in effect.
        const auto last = std::find_if(shown.rbegin(), shown.rend(),
                                       [&](const ShownLine &s) { return s.row == &row; });
        if (last != shown.rend())
            document().setValue(row, -1, last->words);
    });
}

void showSavedValues(const std::vector<const KeywordRow *> &listsSaved)
{
    eachWindowField([&](EditorWindow &window, const KeywordRow &row, Field &field) {
        const std::vector<const ValueLine *> lines = document().linesOf(row);
        if (auto *list = dynamic_cast<LineList *>(&field)) {
            const bool saved = std::find(listsSaved.begin(), listsSaved.end(), &row)
                    != listsSaved.end();
            if (!saved && list->lineCount() == int(lines.size())) {
                std::vector<Origin> origins;
                origins.reserve(lines.size());
                for (const ValueLine *l : lines)
                    origins.push_back(l->origin());
                list->nameOrigins(origins);
                return;
            }
        }
        showRow(window, row, field, lines, Show::InEffect);
    });
    if (::Link_Keywords)
        ::Link_Keywords->showRecordAgain();
}

void showDocument()
{
    for (const WindowRow &row : windowRows())
        if (auto *window = dynamic_cast<EditorWindow *>(row.instance ? row.instance() : nullptr))
            window->showDocument();
}

} // namespace vog
