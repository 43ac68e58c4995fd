#pragma once

#include <QHash>
#include <QListWidget>
#include <QStringList>

namespace vog {

// The folders of one drive (a mounted file system, named by its root): the open directory's
// path from the drive's root down, one indented entry per folder, then the open directory's
// subdirectories. A single click only highlights an entry; a double click or Enter opens it.
// The list works through the process's current directory: opening a folder makes it current.
class DirectoryList : public QListWidget
{
    Q_OBJECT
public:
    enum Role { PathRole = Qt::UserRole, LevelRole };

    explicit DirectoryList(QWidget *parent = nullptr);

    // The open directory's full path as the system reported it when it became current; a root
    // keeps its separator, no other path ends in one.
    QString directory() const { return m_directory; }
    QString drive() const { return m_drive; }
    // The last directory opened on a drive during the run, at first its root.
    QString driveDirectory(const QString &root) const { return m_driveDirs.value(root, root); }

    // Tells the list which drives there are. The first call opens the current directory; later
    // calls re-read the open directory, or move up to the nearest folder left of it if it has
    // gone (a drive unmounted, a folder removed).
    void setDrives(const QStringList &roots);
    // Opens the drive's current directory, unless the list is already on that drive.
    void setDrive(const QString &root);
    // Opens the directory, or the nearest folder above it that can be entered, on the list's
    // drive. Returns false, changing nothing, if not even the drive's root can be entered.
    bool openDirectory(const QString &path);
    void openEntry(QListWidgetItem *entry);

signals:
    void directoryOpened(const QString &directory);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    QString driveOf(const QString &path) const;
    bool enter(const QString &path, const QString &drive);
    void fill();

    QStringList m_drives;
    QString m_drive;
    QString m_directory;
    QHash<QString, QString> m_driveDirs;
};

} // namespace vog
