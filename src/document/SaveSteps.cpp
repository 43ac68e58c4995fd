#include "SaveSteps.h"

#include "UnifiedDiff.h"

#include <QFileInfo>

namespace vog {

PreparedSave prepareSave(const ConfigDocument &doc)
{
    PreparedSave save;
    // The edits are worked out once; the renders and the lines' moves come from them.
    save.plan = doc.planSave();
    for (int file : save.plan.files()) {
        const SourceFile &source = sourceFile(file);
        const SourceFile disk = doc.onDisk(file);
        QByteArray asRead = readUnchanged(disk);
        // Where a link was added or removed, the changes land in the bytes that made.
        const QByteArray *unsaved = doc.unsavedBytes(file);
        QByteArray bytes = doc.render(save.plan, file, unsaved ? *unsaved : asRead);
        if (bytes == asRead)
            continue;
        // Rendered from the bytes as read, the bytes outside the edits are theirs.
        const auto [head, tail] = unsaved ? std::pair<qint64, qint64>(0, 0)
                                          : save.plan.untouched(file, asRead.size());
        save.diffs.push_back(unifiedDiff(source.path, asRead, bytes, source.codec, head, tail));
        save.backups.push_back(backupToWrite(source.path));
        save.files.push_back(file);
        save.writes.push_back({source.path, std::move(asRead), std::move(bytes), !source.onDisk,
                               disk.onDisk ? std::optional<quint64>(disk.fingerprint)
                                           : std::nullopt});
    }
    return save;
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
