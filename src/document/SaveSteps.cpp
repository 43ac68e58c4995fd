#include "SaveSteps.h"

#include "UnifiedDiff.h"

#include <QFileInfo>

namespace vog {

namespace {

PreparedSave prepare(const ConfigDocument &doc, const std::map<int, QByteArray> *kept)
{
    PreparedSave save;
    // The edits are worked out once; the renders and the lines' moves come from them.
    save.plan = doc.planSave();
    for (int file : save.plan.files()) {
        const SourceFile &source = sourceFile(file);
        const auto keptBytes = kept ? kept->find(file) : decltype(kept->find(file))();
        const bool inPieces = kept && keptBytes != kept->end();
        QByteArray asRead = inPieces ? keptBytes->second : readUnchanged(doc.onDisk(file));
        // Where a link was added or removed, the changes land in the bytes that made.
        const QByteArray *unsaved = doc.unsavedBytes(file);
        const QByteArrayView from = unsaved ? QByteArrayView(*unsaved) : QByteArrayView(asRead);
        QByteArray bytes;
        std::vector<QByteArrayView> pieces;
        QString diff;
        if (inPieces) {
            // The pieces stay valid: the bytes kept and the plan's blocks don't move.
            pieces = doc.renderPieces(save.plan, file, from);
            diff = unifiedDiff(source.path, asRead, pieces, source.codec);
            if (diff.isEmpty())
                continue;
        } else {
            bytes = doc.render(save.plan, file, from);
            if (bytes == asRead)
                continue;
            diff = unifiedDiff(source.path, asRead, bytes, source.codec);
        }
        save.diffs.push_back(diff);
        save.backups.push_back(backupToWrite(source.path));
        save.files.push_back(file);
        save.writes.push_back({source.path, std::move(asRead), std::move(bytes), !source.onDisk,
                               std::move(pieces)});
    }
    return save;
}

} // namespace

PreparedSave prepareSave(const ConfigDocument &doc)
{
    return prepare(doc, nullptr);
}

PreparedSave prepareSave(const ConfigDocument &doc, const std::map<int, QByteArray> &kept)
{
    return prepare(doc, &kept);
}

void commitSave(ConfigDocument &doc, PreparedSave &save)
{
    if (!save.writes.empty())
        writeFiles(save.writes);
    for (std::size_t i = 0; i < save.files.size(); ++i) {
        // A file the save created is on disk from now on, like any file read.
        SourceFile &source = sourceFile(save.files[i]);
        if (!source.onDisk) {
            source.canonicalPath = QFileInfo(source.path).canonicalFilePath();
            source.onDisk = true;
        }
        doc.saved(save.plan, save.files[i], save.writes[i].bytes);
    }
    doc.changesSaved();
}

} // namespace vog
