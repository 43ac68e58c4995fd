#include "SaveCommand.h"

#include "SavePreview.h"
#include "document/ConfigDocument.h"
#include "document/SaveSteps.h"
#include "editors/DocumentView.h"

namespace vog {

int saveChanges(QWidget *parent)
{
    ConfigDocument &doc = document();
    PreparedSave save = prepareSave(doc);
    if (!save.writes.empty()) {
        std::vector<SavePreview::File> shown;
        for (std::size_t i = 0; i < save.writes.size(); ++i)
            shown.push_back({save.writes[i].path, save.diffs[i], save.backups[i]});
        SavePreview preview(shown, parent);
        if (preview.exec() != QDialog::Accepted)
            return -1;
    }
    std::vector<const KeywordRow *> lists;
    for (const KeywordRow &row : keywordTable())
        if (row.kind == ValueKind::LineList && doc.change(row))
            lists.push_back(&row);
    commitSave(doc, save);
    showSavedValues(lists);
    return int(save.writes.size());
}

} // namespace vog
