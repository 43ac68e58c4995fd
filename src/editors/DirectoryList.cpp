#include "DirectoryList.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QStyledItemDelegate>

namespace vog {

namespace {

// Pixels each folder level is set in from the one above it.
constexpr int LevelIndent = 8;

// Shifts each entry right by its level, so the path reads as a tree.
class IndentDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        QStyleOptionViewItem indented(option);
        indented.rect.setLeft(option.rect.left() + indent(index));
        QStyledItemDelegate::paint(painter, indented, index);
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return QStyledItemDelegate::sizeHint(option, index) + QSize(indent(index), 0);
    }

private:
    static int indent(const QModelIndex &index)
    {
        return index.data(DirectoryList::LevelRole).toInt() * LevelIndent;
    }
};

bool isUnder(const QString &path, const QString &root)
{
    if (root.endsWith(QLatin1Char('/')))
        return path.startsWith(root);
    return path == root || path.startsWith(root + QLatin1Char('/'));
}

QString childPath(const QString &folder, const QString &name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

} // namespace

DirectoryList::DirectoryList(QWidget *parent) : QListWidget(parent)
{
    setItemDelegate(new IndentDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
}

void DirectoryList::setDrives(const QStringList &roots)
{
    m_drives = roots;
    if (m_directory.isEmpty()) {
        const QString cwd = QDir::currentPath();
        enter(cwd, driveOf(cwd));
        return;
    }
    // Re-read what is there now; a drive that has gone takes the list to the one holding the
    // nearest folder that is left.
    enter(m_directory, m_drives.contains(m_drive) ? m_drive : driveOf(m_directory));
}

void DirectoryList::setDrive(const QString &root)
{
    if (root == m_drive)
        return;
    enter(driveDirectory(root), root);
}

bool DirectoryList::openDirectory(const QString &path)
{
    return enter(QDir(m_directory).absoluteFilePath(path), m_drive);
}

void DirectoryList::openEntry(QListWidgetItem *entry)
{
    if (entry)
        openDirectory(entry->data(PathRole).toString());
}

QString DirectoryList::driveOf(const QString &path) const
{
    QString best;
    for (const QString &root : m_drives)
        if (isUnder(path, root) && root.size() > best.size())
            best = root;
    return best.isEmpty() ? QDir::rootPath() : best;
}

bool DirectoryList::enter(const QString &path, const QString &drive)
{
    // A folder that has gone or may not be entered leaves the list on the nearest one above.
    QString target = path.isEmpty() ? drive : QDir::cleanPath(path);
    while (!QDir::setCurrent(target)) {
        if (target == drive || QDir(target).isRoot())
            return false;
        target = QFileInfo(target).absolutePath();
    }
    m_directory = QDir::currentPath();
    // A link may have led off the drive; the list then follows to the drive it reached.
    m_drive = isUnder(m_directory, drive) ? drive : driveOf(m_directory);
    m_driveDirs.insert(m_drive, m_directory);
    fill();
    emit directoryOpened(m_directory);
    return true;
}

void DirectoryList::fill()
{
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    auto add = [this](const QIcon &icon, const QString &text, const QString &path, int level) {
        auto *entry = new QListWidgetItem(icon, text, this);
        entry->setData(PathRole, path);
        entry->setData(LevelRole, level);
        entry->setToolTip(path);
        return entry;
    };

    clear();
    QListWidgetItem *current = add(open, m_drive, m_drive, 0);
    QString path = m_drive;
    const QStringList folders =
        m_directory.mid(m_drive.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    int level = 0;
    for (const QString &folder : folders) {
        path = childPath(path, folder);
        current = add(open, folder, path, ++level);
    }
    const QStringList subdirectories = QDir(m_directory).entryList(
        QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
    for (const QString &name : subdirectories)
        add(closed, name, childPath(m_directory, name), level + 1);
    setCurrentItem(current);
    scrollToItem(current);
}

void DirectoryList::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // Enter opens the entry and goes no further: the chooser stays open.
        openEntry(currentItem());
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

void DirectoryList::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        if (QListWidgetItem *entry = itemAt(event->position().toPoint())) {
            openEntry(entry);
            event->accept();
            return;
        }
    }
    QListWidget::mouseDoubleClickEvent(event);
}

} // namespace vog
