// The browse buttons of the three windows clicked as a user clicks them: the directory chooser
// is shared by every window, each window's file dialog is its own.
#include "TestSupport.h"

#include "editors/DirectoryList.h"
#include "editors/TFiles_and_Paths.h"
#include "editors/TGeneral_Keywords.h"
#include "editors/TLink_Keywords.h"
#include "editors/TSelect_directory.h"
#include "fields/BrowseButton.h"
#include "fields/FileOpenDialog.h"
#include "fields/LineList.h"
#include "shell/Startup.h"
#include "fields/TextField.h"

#include <QDir>
#include <QPushButton>
#include <QtTest>

namespace {

// Clicks the button and runs the user's steps on the chooser it shows.
void chooseWith(QPushButton *button, const std::function<void(TSelect_directory *)> &steps)
{
    QVERIFY(withChooser([button] { button->click(); }, steps));
}

} // namespace

class TestBrowseButtons final : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_cwd = QDir::currentPath(); }
    void cleanup() { QDir::setCurrent(m_cwd); }

    // A directory opened from the Link Keywords window is where the chooser opens next, when a
    // Files and Paths button shows it.
    void chooserKeepsItsPlaceAcrossWindows()
    {
        QTemporaryDir root;
        QVERIFY(QDir(root.path()).mkpath("mail/inbound"));
        QDir::setCurrent(root.path());
        Program program;
        ConfigFixture files;
        showALink(files);
        chooseWith(Link_Keywords->findChild<vog::BrowseButton *>("FileBoxButton"), [](TSelect_directory *chooser) {
            auto *list = chooser->DirectoryListBox;
            const auto found = list->findItems("mail", Qt::MatchExactly);
            QCOMPARE(found.size(), 1);
            list->setCurrentItem(found.first());
            QTest::keyClick(list, Qt::Key_Return);
        });
        const QString mail = QDir(root.path()).filePath("mail");
        QCOMPARE(QFileInfo(Link_Keywords->field<vog::TextField>("FileBox")->text()).canonicalFilePath(),
                 QFileInfo(mail).canonicalFilePath());
        QString seenAtStart;
        chooseWith(Files_and_Paths->findChild<vog::BrowseButton *>("InboundButton"), [&](TSelect_directory *) {
            seenAtStart = QDir::currentPath();
        });
        QCOMPARE(QFileInfo(seenAtStart).canonicalFilePath(), QFileInfo(mail).canonicalFilePath());
        QCOMPARE(Files_and_Paths->field<vog::TextField>("Inbound")->text(), Link_Keywords->field<vog::TextField>("FileBox")->text());
        QCOMPARE(Link_Keywords->field<vog::TextField>("LinkMsgBaseDir")->text(), QString()); // only its own field
    }

    // A path written with a variable: the browse starts where the tosser would look, and a
    // browse that ends there leaves the text as written.
    void browseStartsAtTheExpandedPath()
    {
        QTemporaryDir root;
        QVERIFY(QDir(root.path()).mkpath("in/new"));
        Program program;
        ConfigFixture files;
        QVERIFY(openConfig(files.write("set FIDO=" + root.path().toUtf8()
                                       + "\nInbound [FIDO]/in\nEchoTossLog [FIDO]/toss.log\n")).isEmpty());
        auto *inbound = Files_and_Paths->field<vog::TextField>("Inbound");
        QString seenAtStart;
        chooseWith(Files_and_Paths->findChild<vog::BrowseButton *>("InboundButton"),
                   [&](TSelect_directory *chooser) { seenAtStart = chooser->DirectoryListBox->directory(); });
        QCOMPARE(QFileInfo(seenAtStart).canonicalFilePath(), QFileInfo(root.filePath("in")).canonicalFilePath());
        QCOMPARE(inbound->text(), QStringLiteral("[FIDO]/in"));
        chooseWith(Files_and_Paths->findChild<vog::BrowseButton *>("InboundButton"),
                   [](TSelect_directory *chooser) { chooser->DirectoryListBox->openDirectory("new"); });
        QCOMPARE(QFileInfo(inbound->text()).canonicalFilePath(), QFileInfo(root.filePath("in/new")).canonicalFilePath());

        vog::FileOpenDialog::setNextAnswer(std::nullopt);
        Files_and_Paths->findChild<vog::BrowseButton *>("EchoTossLogButton")->click();
        QCOMPARE(Files_and_Paths->field<vog::TextField>("EchoTossLog")->text(), QStringLiteral("[FIDO]/toss.log"));
    }

    void plusAppendsOneLinePerClick()
    {
        Program program;
        vog::FileOpenDialog::setNextAnswer(std::nullopt); // cancelled before any choice
        vog::FileOpenDialog::setNextAnswer(QStringLiteral("/etc/vog/a.cfg"));
        vog::FileOpenDialog::setNextAnswer(QStringLiteral("/etc/vog/b.cfg"));
        for (int i = 0; i < 3; ++i)
            Files_and_Paths->findChild<vog::BrowseButton *>("IncludeButton")->click();
        QCOMPARE(Files_and_Paths->field<vog::LineList>("Include")->lines(),
                 (QStringList{"", "/etc/vog/a.cfg", "/etc/vog/b.cfg"}));
    }

    // Each window's dialog returns its own last name after a cancel.
    void eachWindowRemembersItsOwnFile()
    {
        Program program;
        vog::FileOpenDialog::setNextAnswer(QStringLiteral("/etc/vog/areafix.hlp"));
        Files_and_Paths->findChild<vog::BrowseButton *>("AreafixHelpButton")->click();
        vog::FileOpenDialog::setNextAnswer(std::nullopt);
        Files_and_Paths->findChild<vog::BrowseButton *>("EchoTossLogButton")->click();
        QCOMPARE(Files_and_Paths->field<vog::TextField>("EchoTossLog")->text(), QStringLiteral("/etc/vog/areafix.hlp"));
        vog::FileOpenDialog::setNextAnswer(std::nullopt);
        Link_Keywords->findChild<vog::BrowseButton *>("DenyFwdFileButton")->click();
        QCOMPARE(Link_Keywords->field<vog::TextField>("DenyFwdFile")->text(), QString());
        vog::FileOpenDialog::setNextAnswer(std::nullopt);
        General_Keywords->findChild<vog::BrowseButton *>("NetmailFlagButton")->click();
        QCOMPARE(General_Keywords->field<vog::TextField>("NetmailFlag")->text(), QString());
    }

private:
    QString m_cwd;
};

QTEST_MAIN(TestBrowseButtons)
#include "tst_browse_buttons.moc"
