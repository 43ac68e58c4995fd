#include "DocumentView.h"

#include "TFiles_and_Paths.h"
#include "TGeneral_Keywords.h"
#include "TLink_Keywords.h"
#include "Windows.h"
#include "document/ConfigDocument.h"
#include "fields/LineList.h"
#include "reader/Errors.h"

#include <algorithm>

namespace vog {

namespace {

template <typename Show>
void eachWindowField(Show &&show)
{
    for (EditorWindow *window : {static_cast<EditorWindow *>(::General_Keywords),
                                 static_cast<EditorWindow *>(::Files_and_Paths)}) {
        if (!window)
            continue;
        for (const KeywordRow &row : keywordTable())
            if (Field *field = window->form()->field(row))
                show(*window, row, *field);
    }
}

} // namespace

void showChanges(bool fileReadAgain)
{
    eachWindowField([&](EditorWindow &window, const KeywordRow &row, Field &field) {
        const Change *change = document().change(row);
        if (!change)
            return;
        if (auto *list = dynamic_cast<LineList *>(&field)) {
            document().setLines(row, list->lines());
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
            std::vector<Origin> origins;
            origins.reserve(lines.size());
            for (const ValueLine *l : lines)
                origins.push_back(l->origin());
            const bool saved = std::find(listsSaved.begin(), listsSaved.end(), &row)
                    != listsSaved.end();
            if (!saved && list->lineCount() == int(lines.size())) {
                list->nameOrigins(origins);
                return;
            }
            QStringList texts;
            texts.reserve(qsizetype(lines.size()));
            for (const ValueLine *l : lines)
                texts.append(document().valueText(*l));
            list->setLines(texts, origins);
        } else if (!lines.empty()) {
            guarded([&] { window.showValue(row, -1); }, [](const QString &) {});
        }
    });
    if (::Link_Keywords)
        ::Link_Keywords->showRecordAgain();
}

} // namespace vog
