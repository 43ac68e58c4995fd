#include "SaveSteps.h"

#include "UnifiedDiff.h"

#include <QFileInfo>

#include <algorithm>

namespace vog {

namespace {

// The new bytes of a file with a link edit, as pieces of the bytes as read wherever the edited
// bytes still are those: the diff then compares only what the edits touched.
std::vector<QByteArrayView> asReadWhereKept(const ConfigDocument &doc, int file,
                                            QByteArrayView edited, QByteArrayView asRead,
                                            const std::vector<QByteArrayView> &pieces)
{
    const std::vector<ConfigDocument::KeptSpan> *spans = doc.keptSpans(file);
    if (!spans)
        return pieces;
    std::vector<QByteArrayView> out;
    out.reserve(pieces.size() + 2 * spans->size());
    const auto start = reinterpret_cast<quintptr>(edited.data());
    for (QByteArrayView p : pieces) {
        const auto where = reinterpret_cast<quintptr>(p.data());
        if (p.isEmpty() || where < start || where - start + quintptr(p.size()) > quintptr(edited.size())) {
            out.push_back(p);
            continue;
        }
        qint64 at = qint64(where - start);
        const qint64 end = at + p.size();
        // The first span that ends past `at`.
        auto k = std::upper_bound(spans->begin(), spans->end(), at,
                                  [](qint64 x, const ConfigDocument::KeptSpan &s) {
                                      return x < s.at + s.length;
                                  });
        while (at < end) {
            if (k == spans->end() || k->at >= end) {
                out.push_back(edited.sliced(at, end - at));
                break;
            }
            if (k->at > at) {
                out.push_back(edited.sliced(at, k->at - at));
                at = k->at;
            }
            const qint64 stop = std::min(end, k->at + k->length);
            out.push_back(asRead.sliced(k->from + at - k->at, stop - at));
            at = stop;
            ++k;
        }
    }
    return out;
}

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
        const QString diff = unifiedDiff(source.path, asRead,
                                         unsaved ? asReadWhereKept(doc, file, from, asRead, pieces)
                                                 : pieces,
                                         source.codec);
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
