#include "DocumentView.h"

#include "EditorWindow.h"
#include "TLink_Keywords.h"
#include "Windows.h"
#include "document/ConfigDocument.h"
#include "document/DocumentRead.h"
#include "fields/LineList.h"
#include "reader/Errors.h"

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

// The one way from the document to a window keyword's field: a one-value row shows the value
// in effect, or after an Open what the last of the lines given says (a number that doesn't
// convert stopped the read there: the line before it, if the file set one); a line list the
// lines given, each naming its line, in place of what it shows or after it. A list may hold
// half a million lines: they go in with one edit.
enum class Show { InEffect, FilesSay };
void showRow(EditorWindow &window, const KeywordRow &row, Field &field,
             const std::vector<const ValueLine *> &lines, Show show)
{
    if (auto *list = dynamic_cast<LineList *>(&field)) {
        std::vector<Origin> origins;
        origins.reserve(lines.size());
        QStringList texts;
        texts.reserve(qsizetype(lines.size()));
        for (const ValueLine *l : lines) {
            origins.push_back(l->origin());
            texts.append(document().valueText(*l));
        }
        if (show == Show::InEffect) {
            list->setLines(texts, origins);
            return;
        }
        list->appendLines(texts, origins);
        // The user's lines stay, the file's after them: that is the change now.
        if (const Change *change = document().change(row); change && !texts.isEmpty()) {
            std::vector<Origin> all = change->origins;
            all.resize(std::size_t(change->lines.size()));
            all.insert(all.end(), origins.begin(), origins.end());
            document().setLines(row, change->lines + texts, all);
        }
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
    eachWindowField([&](EditorWindow &window, const KeywordRow &row, Field &field) {
        const Change *change = document().change(row);
        if (!change)
            return;
        if (dynamic_cast<LineList *>(&field)) {
            return; // the lines read were added to the change as they were shown
        } else if (fileReadAgain) {
            guarded([&] { window.showValue(row, -1); }, [](const QString &) {});
        } else {
            window.reportChange(row);
        }
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

} // namespace vog
