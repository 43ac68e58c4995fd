#include "FileDrop.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace vog {

namespace {

// The local files a drag carries, in order; empty when it carries none.
QStringList droppedFiles(const QMimeData *data)
{
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl &url : data->urls()) {
        if (url.isLocalFile())
            files << url.toLocalFile();
    }
    return files;
}

} // namespace

FileDrop::FileDrop(QWidget *target, std::function<void(const QString &)> open)
    : QObject(target), m_open(std::move(open))
{
    target->setAcceptDrops(true);
    target->installEventFilter(this);
}

bool FileDrop::eventFilter(QObject *, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    auto *drop = static_cast<QDropEvent *>(event);
    const QMimeData *data = drop->mimeData();
    if (!data || !data->hasUrls())
        return false;
    const QStringList files = droppedFiles(data);
    // Copied or linked, never moved: the file stays where it is.
    const Qt::DropActions actions = drop->possibleActions();
    const Qt::DropAction action = actions & Qt::CopyAction ? Qt::CopyAction
            : actions & Qt::LinkAction                     ? Qt::LinkAction
                                                           : Qt::IgnoreAction;
    if (files.isEmpty() || action == Qt::IgnoreAction) {
        drop->ignore();
        return true;
    }
    drop->setDropAction(action);
    drop->accept();
    if (type == QEvent::Drop) {
        // After the drop has returned, so that an error box doesn't hold up the program the
        // files came from.
        QMetaObject::invokeMethod(
                this,
                [this, files] {
                    for (const QString &file : files)
                        m_open(file);
                },
                Qt::QueuedConnection);
    }
    return true;
}

} // namespace vog
