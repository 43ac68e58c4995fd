#include "SaveCommand.h"

#include "SavePreview.h"
#include "document/ConfigDocument.h"
#include "document/SafeWrite.h"
#include "document/UnifiedDiff.h"
#include "editors/DocumentView.h"

namespace vog {

int saveChanges(QWidget *parent)
{
    ConfigDocument &doc = document();
    std::vector<int> files;
    std::vector<FileWrite> writes;
    std::vector<SavePreview::File> shown;
    // The edits are worked out once; the renders and the lines' moves come from them.
    const SavePlan plan = doc.planSave();
    for (int file : plan.files()) {
        const SourceFile &source = sourceFile(file);
        QByteArray asRead = readUnchanged(source);
        QByteArray bytes = doc.render(plan, file, asRead);
        // A file whose changes come to its own bytes again is left alone.
        if (bytes == asRead)
            continue;
        shown.push_back({source.path, unifiedDiff(source.path, asRead, bytes, source.codec),
                         backupToWrite(source.path)});
        files.push_back(file);
        writes.push_back({source.path, std::move(asRead), std::move(bytes)});
    }
    if (!writes.empty()) {
        SavePreview preview(shown, parent);
        if (preview.exec() != QDialog::Accepted)
            return -1;
        writeFiles(writes);
    }
    std::vector<const KeywordRow *> lists;
    for (const KeywordRow &row : keywordTable())
        if (row.kind == ValueKind::LineList && doc.change(row))
            lists.push_back(&row);
    for (std::size_t i = 0; i < files.size(); ++i)
        doc.saved(plan, files[i], writes[i].bytes);
    doc.changesSaved();
    showSavedValues(lists);
    return int(writes.size());
}

} // namespace vog
