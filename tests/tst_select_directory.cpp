// The directory chooser, driven as a user drives it while a directory picker has it up.
#include "TestSupport.h"

#include "editors/DirectoryList.h"
#include "editors/Pickers.h"
#include "editors/TSelect_directory.h"
#include "shell/Startup.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Shows the chooser through the directory picker for the field and runs the user's steps on it.
void pickWith(QLineEdit *field, const std::function<void(TSelect_directory *)> &steps)
{
    QVERIFY(withChooser([field] { vog::pickDirectory(field); }, steps));
}

vog::DirectoryList *list()
{
    return Select_directory->DirectoryListBox;
}

QListWidgetItem *entry(const QString &text)
{
    const QList<QListWidgetItem *> found = list()->findItems(text, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.constLast();
}

QStringList entryTexts()
{
    QStringList texts;
    for (int row = 0; row < list()->count(); ++row)
        texts << list()->item(row)->text();
    return texts;
}

void clickEntry(const QString &text)
{
    QListWidgetItem *e = entry(text);
    QVERIFY2(e, qPrintable(text));
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                      list()->visualItemRect(e).center());
}

void doubleClickEntry(const QString &text)
{
    QListWidgetItem *e = entry(text);
    QVERIFY2(e, qPrintable(text));
    QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {},
                       list()->visualItemRect(e).center());
}

void pressEnterOn(const QString &text)
{
    QListWidgetItem *e = entry(text);
    QVERIFY2(e, qPrintable(text));
    list()->setCurrentItem(e);
    QTest::keyClick(list(), Qt::Key_Return);
}

void chooseDrive(const QString &root)
{
    QComboBox *drives = Select_directory->DriveComboBox;
    const int index = drives->findData(root);
    QVERIFY2(index >= 0, qPrintable(root));
    drives->setCurrentIndex(index);
}

} // namespace

class TestSelectDirectory : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void layout();
    void firstPickerOpensAtTheCurrentDirectory();
    void closingWritesTheOpenDirectory_data();
    void closingWritesTheOpenDirectory();
    void highlightedEntryIsNotTheResult();
    void openingMovesTheCurrentDirectory_data();
    void openingMovesTheCurrentDirectory();
    void nextPickerOpensWhereTheLastLeftOff();
    void driveChangeOpensThatDrivesDirectory();
    void driveRootsAreListedOnceRootFirst_data();
    void driveRootsAreListedOnceRootFirst();
    void removedFolderLeavesTheNearestOneLeft();
    void mountedDrivesStartWithTheRoot();

private:
    QString m_startDir;
    QTemporaryDir m_base;
    QString m_top;    // alpha, Beta, gamma/inner
    QString m_drive2; // x, y: the second drive when the test lists two
};

void TestSelectDirectory::initTestCase()
{
    m_startDir = QDir::currentPath();
    QVERIFY(m_base.isValid());
    const QString base = QDir(m_base.path()).canonicalPath();
    m_top = base + QStringLiteral("/top");
    m_drive2 = base + QStringLiteral("/drive2");
    for (const char *sub : {"alpha", "Beta", "gamma/inner"})
        QVERIFY(QDir(m_top).mkpath(QString::fromLatin1(sub)));
    for (const char *sub : {"y", "x"})
        QVERIFY(QDir(m_drive2).mkpath(QString::fromLatin1(sub)));
    // A file beside the folders is not listed.
    QFile(m_top + QStringLiteral("/notes.txt")).open(QIODevice::WriteOnly);
}

void TestSelectDirectory::init()
{
    // The machine's own mounts (a separate /tmp, say) would move the drive the tests start on.
    TSelect_directory::setDriveRoots(QStringList{QStringLiteral("/")});
    QVERIFY(QDir::setCurrent(m_top));
}

void TestSelectDirectory::cleanup()
{
    TSelect_directory::setDriveRoots(std::nullopt);
    QVERIFY(QDir::setCurrent(m_startDir));
}

void TestSelectDirectory::layout()
{
    Program program;
    TSelect_directory *chooser = Select_directory;
    QCOMPARE(chooser->windowTitle(), QStringLiteral("Select directory"));
    QCOMPARE(chooser->pos(), QPoint(192, 117));
    QCOMPARE(chooser->size(), QSize(250, 315));
    QCOMPARE(chooser->DirectoryListBox->geometry(), QRect(8, 8, 145, 249));
    QCOMPARE(chooser->DriveComboBox->geometry().topLeft(), QPoint(8, 262));
    QCOMPARE(chooser->DriveComboBox->width(), 145);
    QCOMPARE(chooser->OkButton->geometry(), QRect(160, 8, 75, 25));
    QCOMPARE(chooser->OkButton->text(), QStringLiteral("&OK"));
    QVERIFY(!chooser->OkButton->isDefault());
    QVERIFY(!chooser->OkButton->autoDefault());
    // OK is the only button: there is no way to cancel.
    QCOMPARE(chooser->findChildren<QPushButton *>().size(), 1);
    QVERIFY(!chooser->isVisible());
}

void TestSelectDirectory::firstPickerOpensAtTheCurrentDirectory()
{
    Program program;
    QLineEdit field;
    QStringList folders = m_top.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    pickWith(&field, [&](TSelect_directory *) {
        QCOMPARE(list()->directory(), m_top);
        QCOMPARE(list()->drive(), QStringLiteral("/"));
        // The path from the root down, then the subdirectories sorted regardless of case.
        const QStringList subdirectories{QStringLiteral("alpha"), QStringLiteral("Beta"),
                                         QStringLiteral("gamma")};
        QCOMPARE(entryTexts(), QStringList{QStringLiteral("/")} + folders + subdirectories);
        for (int row = 0; row <= folders.size(); ++row)
            QCOMPARE(list()->item(row)->data(vog::DirectoryList::LevelRole).toInt(), row);
        for (int row = folders.size() + 1; row < list()->count(); ++row)
            QCOMPARE(list()->item(row)->data(vog::DirectoryList::LevelRole).toInt(),
                     folders.size() + 1);
        QCOMPARE(list()->currentItem()->text(), folders.constLast());
        QCOMPARE(Select_directory->DriveComboBox->currentText(), QStringLiteral("/"));
        Select_directory->OkButton->click();
    });
    QCOMPARE(field.text(), m_top);
    QVERIFY(!Select_directory->isVisible());
}

void TestSelectDirectory::closingWritesTheOpenDirectory_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("OK button") << QStringLiteral("ok");
    QTest::newRow("title-bar close") << QStringLiteral("close");
    QTest::newRow("Escape") << QStringLiteral("escape");
}

void TestSelectDirectory::closingWritesTheOpenDirectory()
{
    QFETCH(QString, how);
    Program program;
    QLineEdit field(QStringLiteral("left from the file"));
    pickWith(&field, [&](TSelect_directory *chooser) {
        doubleClickEntry(QStringLiteral("alpha"));
        QCOMPARE(list()->directory(), m_top + QStringLiteral("/alpha"));
        if (how == QLatin1String("ok"))
            QTest::mouseClick(chooser->OkButton, Qt::LeftButton);
        else if (how == QLatin1String("close"))
            QVERIFY(chooser->close());
        else
            QTest::keyClick(chooser, Qt::Key_Escape);
        QVERIFY(!chooser->isVisible());
    });
    QCOMPARE(field.text(), m_top + QStringLiteral("/alpha"));
    // Only hidden: the same chooser, where it was left.
    QCOMPARE(list()->directory(), m_top + QStringLiteral("/alpha"));
}

void TestSelectDirectory::highlightedEntryIsNotTheResult()
{
    Program program;
    QLineEdit field;
    pickWith(&field, [&](TSelect_directory *chooser) {
        clickEntry(QStringLiteral("gamma"));
        QCOMPARE(list()->currentItem()->text(), QStringLiteral("gamma"));
        QCOMPARE(list()->directory(), m_top);
        chooser->OkButton->click();
    });
    QCOMPARE(field.text(), m_top);
    QCOMPARE(QDir::currentPath(), m_top);
}

void TestSelectDirectory::openingMovesTheCurrentDirectory_data()
{
    QTest::addColumn<bool>("byEnter");
    QTest::newRow("double click") << false;
    QTest::newRow("Enter") << true;
}

void TestSelectDirectory::openingMovesTheCurrentDirectory()
{
    QFETCH(bool, byEnter);
    Program program;
    QLineEdit field;
    const auto open = [byEnter](const QString &text) {
        if (byEnter)
            pressEnterOn(text);
        else
            doubleClickEntry(text);
    };
    const QString gamma = m_top + QStringLiteral("/gamma");
    pickWith(&field, [&](TSelect_directory *chooser) {
        open(QStringLiteral("gamma"));
        QVERIFY(chooser->isVisible()); // Enter opens; it doesn't close the chooser
        QCOMPARE(list()->directory(), gamma);
        QCOMPARE(QDir::currentPath(), gamma);
        QCOMPARE(entryTexts().mid(entryTexts().size() - 2),
                 (QStringList{QStringLiteral("gamma"), QStringLiteral("inner")}));

        open(QStringLiteral("inner"));
        QCOMPARE(QDir::currentPath(), gamma + QStringLiteral("/inner"));
        QCOMPARE(list()->currentItem()->text(), QStringLiteral("inner"));

        // Opening an entry of the path goes back up.
        open(QStringLiteral("top"));
        QCOMPARE(list()->directory(), m_top);
        QCOMPARE(QDir::currentPath(), m_top);
        open(QStringLiteral("/"));
        // A root keeps its separator; no other path has one appended.
        QCOMPARE(list()->directory(), QStringLiteral("/"));
        QCOMPARE(list()->count(),
                 QDir::root().entryList(QDir::Dirs | QDir::NoDotAndDotDot).size() + 1);
        const QString firstFolder = m_top.section(QLatin1Char('/'), 1, 1);
        open(firstFolder);
        QCOMPARE(list()->directory(), QLatin1Char('/') + firstFolder);
        chooser->OkButton->click();
    });
    QCOMPARE(field.text(), QLatin1Char('/') + m_top.section(QLatin1Char('/'), 1, 1));
}

void TestSelectDirectory::nextPickerOpensWhereTheLastLeftOff()
{
    Program program;
    QLineEdit linkField, filesField;
    pickWith(&linkField, [&](TSelect_directory *chooser) {
        doubleClickEntry(QStringLiteral("Beta"));
        chooser->OkButton->click();
    });
    QCOMPARE(linkField.text(), m_top + QStringLiteral("/Beta"));

    QString openedAt;
    pickWith(&filesField, [&](TSelect_directory *chooser) {
        openedAt = list()->directory();
        QCOMPARE(list()->currentItem()->text(), QStringLiteral("Beta"));
        chooser->close();
    });
    QCOMPARE(openedAt, m_top + QStringLiteral("/Beta"));
    QCOMPARE(filesField.text(), m_top + QStringLiteral("/Beta"));
}

void TestSelectDirectory::driveChangeOpensThatDrivesDirectory()
{
    TSelect_directory::setDriveRoots(QStringList{m_drive2, QStringLiteral("/")});
    Program program;
    QLineEdit field;
    pickWith(&field, [&](TSelect_directory *chooser) {
        QComboBox *drives = chooser->DriveComboBox;
        QCOMPARE(drives->count(), 2);
        QCOMPARE(drives->itemData(0).toString(), QStringLiteral("/"));
        QCOMPARE(drives->itemData(1).toString(), m_drive2);
        QCOMPARE(list()->drive(), QStringLiteral("/"));

        // Never opened before: the drive's root.
        chooseDrive(m_drive2);
        QCOMPARE(list()->drive(), m_drive2);
        QCOMPARE(list()->directory(), m_drive2);
        QCOMPARE(QDir::currentPath(), m_drive2);
        QCOMPARE(entryTexts(), (QStringList{m_drive2, QStringLiteral("x"), QStringLiteral("y")}));
        doubleClickEntry(QStringLiteral("x"));

        // Each drive keeps the directory last opened on it.
        chooseDrive(QStringLiteral("/"));
        QCOMPARE(list()->directory(), m_top);
        QCOMPARE(QDir::currentPath(), m_top);
        chooseDrive(m_drive2);
        QCOMPARE(list()->directory(), m_drive2 + QStringLiteral("/x"));

        // The same drive again changes nothing, not even the highlight.
        clickEntry(m_drive2);
        chooser->DriveComboBoxChange();
        QCOMPARE(list()->directory(), m_drive2 + QStringLiteral("/x"));
        QCOMPARE(list()->currentItem()->text(), m_drive2);
        chooser->OkButton->click();
    });
    QCOMPARE(field.text(), m_drive2 + QStringLiteral("/x"));
}

void TestSelectDirectory::driveRootsAreListedOnceRootFirst_data()
{
    QTest::addColumn<QStringList>("given");
    QTest::addColumn<QStringList>("listed");
    const QString file = m_top + QStringLiteral("/notes.txt");
    const QString gone = m_top + QStringLiteral("/unmounted");
    QTest::newRow("root moved first") << QStringList{m_drive2, QStringLiteral("/")}
                                      << QStringList{QStringLiteral("/"), m_drive2};
    QTest::newRow("each once") << QStringList{m_drive2, m_drive2 + QStringLiteral("/"),
                                              QStringLiteral("/")}
                               << QStringList{QStringLiteral("/"), m_drive2};
    QTest::newRow("root always there") << QStringList{m_top}
                                       << QStringList{QStringLiteral("/"), m_top};
    QTest::newRow("files and missing folders dropped")
        << QStringList{file, gone, m_drive2} << QStringList{QStringLiteral("/"), m_drive2};
}

void TestSelectDirectory::driveRootsAreListedOnceRootFirst()
{
    QFETCH(QStringList, given);
    QFETCH(QStringList, listed);
    TSelect_directory::setDriveRoots(given);
    QCOMPARE(TSelect_directory::driveRoots(), listed);
    Program program;
    QStringList inCombo;
    for (int i = 0; i < Select_directory->DriveComboBox->count(); ++i)
        inCombo << Select_directory->DriveComboBox->itemData(i).toString();
    QCOMPARE(inCombo, listed);
}

void TestSelectDirectory::removedFolderLeavesTheNearestOneLeft()
{
    const QString doomed = m_top + QStringLiteral("/doomed");
    QVERIFY(QDir(doomed).mkpath(QStringLiteral("deeper")));
    auto removeLeftover = qScopeGuard([doomed] { QDir(doomed).removeRecursively(); });
    Program program;
    QLineEdit field;
    pickWith(&field, [&](TSelect_directory *chooser) {
        doubleClickEntry(QStringLiteral("doomed"));
        doubleClickEntry(QStringLiteral("deeper"));
        chooser->OkButton->click();
    });
    QCOMPARE(field.text(), doomed + QStringLiteral("/deeper"));

    // Gone while the chooser was hidden: it reopens on the nearest folder still there.
    QVERIFY(QDir::setCurrent(m_top));
    QVERIFY(QDir(doomed).removeRecursively());
    pickWith(&field, [&](TSelect_directory *chooser) {
        QCOMPARE(list()->directory(), m_top);
        QVERIFY(!entry(QStringLiteral("doomed")));
        // Gone after it was listed: opening it stays where the list is.
        QVERIFY(QDir(m_top).mkdir(QStringLiteral("fleeting")));
        doubleClickEntry(QStringLiteral("top"));
        QVERIFY(entry(QStringLiteral("fleeting")));
        QVERIFY(QDir(m_top).rmdir(QStringLiteral("fleeting")));
        doubleClickEntry(QStringLiteral("fleeting"));
        QCOMPARE(list()->directory(), m_top);
        QVERIFY(!entry(QStringLiteral("fleeting")));
        chooser->OkButton->click();
    });
    QCOMPARE(field.text(), m_top);
}

void TestSelectDirectory::mountedDrivesStartWithTheRoot()
{
    TSelect_directory::setDriveRoots(std::nullopt);
    const QStringList roots = TSelect_directory::driveRoots();
    QVERIFY(!roots.isEmpty());
    QCOMPARE(roots.constFirst(), QStringLiteral("/"));
    for (const QString &root : roots) {
        QCOMPARE(roots.count(root), 1);
        QVERIFY2(QFileInfo(root).isDir(), qPrintable(root));
        QCOMPARE(QStorageInfo(root).rootPath(), root);
    }

    // The list starts on the mounted file system that holds the current directory.
    Program program;
    QCOMPARE(list()->drive(), QStorageInfo(m_top).rootPath());
    QCOMPARE(list()->directory(), m_top);
}

QTEST_MAIN(TestSelectDirectory)
#include "tst_select_directory.moc"
