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
        const bool inPieces = kept && keptBytes != kept->end();
        QByteArray asRead = inPieces ? keptBytes->second : readUnchanged(disk);
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
            // Rendered from the bytes as read, the bytes outside the edits are theirs.
            const auto [head, tail] = unsaved ? std::pair<qint64, qint64>(0, 0)
                                              : save.plan.untouched(file, asRead.size());
            diff = unifiedDiff(source.path, asRead, bytes, source.codec, head, tail);
        }
        save.diffs.push_back(diff);
        save.backups.push_back(backupToWrite(source.path));
        save.files.push_back(file);
        save.writes.push_back({source.path, std::move(asRead), std::move(bytes), !source.onDisk,
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
