#include "TSelect_directory.h"

#include "fields/ScreenFit.h"

#include "DirectoryList.h"
#include "fields/ButtonRoom.h"
#include "fields/SharedFont.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStorageInfo>

namespace {

std::optional<QStringList> &rootsOverride()
{
    static std::optional<QStringList> roots;
    return roots;
}

} // namespace

void TSelect_directory::setDriveRoots(const std::optional<QStringList> &roots)
{
    rootsOverride() = roots;
}

QStringList TSelect_directory::driveRoots()
{
    QStringList found;
    if (rootsOverride()) {
        found = *rootsOverride();
    } else {
        for (const QStorageInfo &volume : QStorageInfo::mountedVolumes())
            if (volume.isValid() && volume.isReady())
                found.append(volume.rootPath());
    }
    // The file system's root always comes first. A bind-mounted file is no drive.
    const QString top = QDir::rootPath();
    QStringList roots{top};
    QStringList others;
    for (const QString &root : found) {
        const QString clean = QDir::cleanPath(root);
        if (clean != top && !others.contains(clean) && QFileInfo(clean).isDir())
            others.append(clean);
    }
    others.sort();
    return roots + others;
}

TSelect_directory::TSelect_directory(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Select_directory"));
    setWindowTitle(QStringLiteral("Select directory"));
    setFont(vog::sharedFont());
    move(192, 117);
    resize(250, 315);

    // The drawn layout scrolls where the screen is smaller than it.
    QWidget *content = vog::scrollingContent(this);
    DirectoryListBox = new vog::DirectoryList(content);
    DirectoryListBox->setObjectName(QStringLiteral("DirectoryListBox"));
    DirectoryListBox->setAccessibleName(QStringLiteral("Directory"));

    DriveComboBox = new QComboBox(content);
    DriveComboBox->setObjectName(QStringLiteral("DriveComboBox"));
    DriveComboBox->setAccessibleName(QStringLiteral("Drive"));

    OkButton = new QPushButton(QStringLiteral("&OK"), content);
    OkButton->setObjectName(QStringLiteral("OkButton"));
    place();
    // Enter belongs to the directory list, which opens the highlighted folder with it.
    OkButton->setAutoDefault(false);
    OkButton->setDefault(false);

    setTabOrder(DirectoryListBox, DriveComboBox);
    setTabOrder(DriveComboBox, OkButton);
    DirectoryListBox->setFocus();

    refreshDrives();

    connect(DriveComboBox, &QComboBox::currentIndexChanged, this,
            &TSelect_directory::DriveComboBoxChange);
    connect(OkButton, &QPushButton::clicked, this, &TSelect_directory::OkButtonClick);
    // A link followed off the drive moves the list to another drive; the drive list follows.
    connect(DirectoryListBox, &vog::DirectoryList::directoryOpened, this,
            &TSelect_directory::showListDrive);
}

QString TSelect_directory::chooseDirectory(const QString &start)
{
    if (!start.isEmpty())
        DirectoryListBox->openDirectory(start);
    // Closed by OK or by the title bar alike: the open directory is the answer either way.
    exec();
    return DirectoryListBox->directory();
}

void TSelect_directory::DriveComboBoxChange()
{
    DirectoryListBox->setDrive(DriveComboBox->currentData().toString());
    showListDrive();
}

void TSelect_directory::OkButtonClick()
{
    accept();
}

void TSelect_directory::showEvent(QShowEvent *event)
{
    // File systems come and go while the program runs.
    refreshDrives();
    DirectoryListBox->setFocus();
    QDialog::showEvent(event);
}

void TSelect_directory::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::FontChange && OkButton)
        place();
}

void TSelect_directory::place()
{
    // The drawn layout, grown where a larger font needs more room.
    const int comboHeight = DriveComboBox->sizeHint().height();
    DirectoryListBox->setGeometry(8, 8, 145, 249);
    DriveComboBox->setGeometry(8, 262, 145, comboHeight);
    OkButton->setGeometry(QRect(QPoint(160, 8), vog::buttonRoom(OkButton, QSize(75, 25))));
    const QSize need(OkButton->geometry().right() + 15, 262 + comboHeight + 8);
    OkButton->parentWidget()->setMinimumSize(need);
    resize(size().expandedTo(need));
}

void TSelect_directory::refreshDrives()
{
    const QStringList roots = driveRoots();
    {
        const QSignalBlocker block(DriveComboBox);
        DriveComboBox->clear();
        for (const QString &root : roots)
            DriveComboBox->addItem(root, root);
    }
    DirectoryListBox->setDrives(roots);
    showListDrive();
}

void TSelect_directory::showListDrive()
{
    const QSignalBlocker block(DriveComboBox);
    DriveComboBox->setCurrentIndex(DriveComboBox->findData(DirectoryListBox->drive()));
}
