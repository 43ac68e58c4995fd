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
        const SourceFile disk = doc.onDisk(file);
        const auto keptBytes = kept ? kept->find(file) : decltype(kept->find(file))();
        std::shared_ptr<const void> mapping;
        QByteArray asRead = kept && keptBytes != kept->end() ? keptBytes->second
                                                             : readUnchanged(disk, mapping);
        // Where a link was added or removed, the changes land in the bytes that made.
        const QByteArray *unsaved = doc.unsavedBytes(file);
        const QByteArray from = unsaved ? *unsaved : asRead; // shared, not copied
        std::vector<QByteArrayView> pieces = doc.renderPieces(save.plan, file, from);
        const QString diff = unifiedDiff(source.path, asRead, pieces, source.codec);
        if (diff.isEmpty())
            continue; // the changes come to the file's own bytes again
        save.held.push_back(std::make_shared<const QByteArray>(from));
        if (mapping)
            save.held.push_back(std::move(mapping));
        save.diffs.push_back(diff);
        save.backups.push_back(backupToWrite(source.path));
        save.files.push_back(file);
        save.writes.push_back({source.path, std::move(asRead), QByteArray(), !source.onDisk,
                               disk.onDisk ? std::optional<quint64>(disk.fingerprint)
                                           : std::nullopt,
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
    // The document reads where its lines now stand in the new bytes whole, made now that the
    // files are written, before any file's bytes change in it.
    for (FileWrite &w : save.writes)
        if (!w.pieces.empty()) {
            w.bytes = joinPieces(w.pieces);
            w.pieces.clear();
        }
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
