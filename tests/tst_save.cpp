// The safe write broken on purpose, once per step: each broken step leaves every file as it
// was, with no .bak and no temporary file beside it. What a write keeps, and the diff's text.
// Then Save through the main window: closing with changes asks first, and each answer does
// what it says; nothing is written unless the preview's Save was pressed.

#include "TestSupport.h"

#include "document/ConfigDocument.h"
#include "document/SafeWrite.h"
#include "document/SaveSteps.h"
#include "document/UnifiedDiff.h"
#include "editors/LinkDialog.h"
#include "editors/TGeneral_Keywords.h"
#include "editors/TLink_Keywords.h"
#include "fields/TextField.h"
#include "reader/Errors.h"
#include "shell/SavePreview.h"
#include "shell/Startup.h"
#include "shell/TMain.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QtTest>

#include <csignal>
#include <tuple>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
}

// The flag that keeps even root from adding a file to a folder; false where there is none.
bool setImmutable(const QString &dir, int flag)
{
    const int fd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY);
    int flags = 0;
    const bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0
            && ::ioctl(fd, FS_IOC_SETFLAGS, &(flags = (flags & ~FS_IMMUTABLE_FL) | flag)) == 0;
    ::close(fd);
    return done;
}

// A file's permission bits, owner and group.
std::tuple<mode_t, uid_t, gid_t> modeOf(const QString &path)
{
    struct stat st = {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return {st.st_mode & 07777, st.st_uid, st.st_gid};
}

enum Broken { ChangedOnDisk, FolderNotWritable, DiskFull };

} // namespace

class TestSave final : public QObject
{
    Q_OBJECT

private slots:
    void brokenStepLeavesEveryFile_data()
    {
        QTest::addColumn<int>("broken");
        QTest::addColumn<QString>("message");
        QTest::newRow("changed on disk after it was read")
                << int(ChangedOnDisk)
                << QString("b.cfg was changed on disk after it was read; open it again to edit it");
        QTest::newRow("a folder that can't be written") << int(FolderNotWritable)
                                                        << QString("b.cfg.bak can't be written: ");
        QTest::newRow("a full disk") << int(DiskFull) << QString("b.cfg can't be written: ");
    }

    void brokenStepLeavesEveryFile()
    {
        QFETCH(int, broken);
        QFETCH(QString, message);
        ConfigFixture files;
        const QString top = QFileInfo(files.path("")).canonicalFilePath(), sub = top + "/sub";
        QVERIFY(QDir().mkpath(sub));
        const QString a = files.write("Name a\n", "a.cfg");
        const QString b = files.write("Name b\n", "sub/b.cfg");
        // b comes second: a's temporary file and .bak are made before b fails.
        const std::vector<vog::FileWrite> writes{
                {a, "Name a\n", "Name A\n"}, {b, "Name b\n", "Name " + QByteArray(64 << 10, 'B')}};
        rlimit unlimited{};
        ::getrlimit(RLIMIT_FSIZE, &unlimited);
        const rlimit small{16 << 10, unlimited.rlim_max};
        if (broken == ChangedOnDisk)
            files.write("Name c\n", "sub/b.cfg");
        if (broken == FolderNotWritable && ::geteuid() != 0)
            QVERIFY(::chmod(QFile::encodeName(sub).constData(), 0555) == 0);
        else if (broken == FolderNotWritable && !setImmutable(sub, FS_IMMUTABLE_FL))
            QSKIP("root writes into any folder, and this file system can't make one immutable");
        // A file size limit fails a write as a full disk does, for root too.
        if (broken == DiskFull && std::signal(SIGXFSZ, SIG_IGN) != SIG_ERR)
            QVERIFY(::setrlimit(RLIMIT_FSIZE, &small) == 0);
        const QByteArray bNow = bytesOf(b);
        const auto names = QDir::Files | QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot;
        const QStringList before = QDir(top).entryList(names) + QDir(sub).entryList(names);
        QString error;
        vog::guarded([&] { vog::writeFiles(writes); }, [&](const QString &m) { error = m; });
        ::setrlimit(RLIMIT_FSIZE, &unlimited);
        setImmutable(sub, 0);
        ::chmod(QFile::encodeName(sub).constData(), 0755);

        QVERIFY2(error.startsWith(top) && error.contains(message), qPrintable(error));
        QCOMPARE(bytesOf(a), QByteArray("Name a\n"));
        QCOMPARE(bytesOf(b), bNow);
        QCOMPARE(QDir(top).entryList(names) + QDir(sub).entryList(names), before);
    }

    void writeKeepsWhatTheFileIs_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("throughLink");
        QTest::addColumn<int>("owner");
        QTest::addColumn<bool>("secondName");
        QTest::newRow("permission bits 0640") << 0640 << false << -1 << false;
        QTest::newRow("through a symbolic link") << 0604 << true << -1 << false;
        QTest::newRow("another owner and group, set-group-ID") << 02750 << false << 4321 << false;
        QTest::newRow("a second name of the file") << 0644 << false << -1 << true;
    }

    void writeKeepsWhatTheFileIs()
    {
        QFETCH(int, mode);
        QFETCH(bool, throughLink);
        QFETCH(int, owner);
        QFETCH(bool, secondName);
        if (owner >= 0 && ::geteuid() != 0)
            QSKIP("only root can give a file to another owner");
        ConfigFixture files;
        QVERIFY(QDir().mkpath(files.path("real")));
        const QString target = QFileInfo(files.write("Name a\n", "real/t.cfg")).canonicalFilePath();
        const QString link = files.path("link.cfg");
        const QByteArray name = QFile::encodeName(target);
        QVERIFY(::chmod(name.constData(), mode_t(mode)) == 0 && QFile::link(target, link));
        QVERIFY(owner < 0 || ::chown(name.constData(), uid_t(owner), gid_t(owner + 1)) == 0);
        const auto was = modeOf(target);
        const QString other = files.path("real/other.cfg");
        QVERIFY(!secondName || ::link(name.constData(), QFile::encodeName(other).constData()) == 0);

        vog::writeFiles({{throughLink ? link : target, "Name a\n", "Name b\n"}});
        vog::writeFiles({{throughLink ? link : target, "Name b\n", "Name c\n"}});

        QCOMPARE(bytesOf(target), QByteArray("Name c\n"));
        QCOMPARE(QFileInfo(link).symLinkTarget(), target);
        // Kept as read by the first save of the run only, beside the file written.
        QCOMPARE(bytesOf(target + ".bak"), QByteArray("Name a\n"));
        QVERIFY(!QFile::exists(link + ".bak"));
        QVERIFY(modeOf(target) == was && modeOf(target + ".bak") == was);
        // Where the file has another name, the .bak is a file of its own: no edit of that name
        // in place can reach it.
        struct stat bak = {}, second = {};
        QVERIFY(!secondName || (::stat(QFile::encodeName(target + ".bak").constData(), &bak) == 0
                                && ::stat(QFile::encodeName(other).constData(), &second) == 0
                                && bak.st_ino != second.st_ino
                                && bytesOf(other) == "Name a\n"));
        const QStringList beside = QDir(files.path("real")).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(beside.size(), secondName ? 3 : 2);
    }

    void unifiedDiff_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<QString>("diff");
        const QByteArray eleven = "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n";
        QTest::newRow("three lines of context; changes seven lines apart, two hunks")
                << eleven << QByteArray(eleven).replace("2\n", "b\n").replace("10\n", "j\n")
                << "--- f\n+++ f\n@@ -1,5 +1,5 @@\n 1\n-2\n+b\n 3\n 4\n 5\n"
                   "@@ -7,5 +7,5 @@\n 7\n 8\n 9\n-10\n+j\n 11\n";
        QTest::newRow("a last line without a line end")
                << QByteArray("1\n2") << QByteArray("1\n2\n3")
                << "--- f\n+++ f\n@@ -1,2 +1,3 @@\n 1\n-2\n\\ No newline at end of file\n+2\n+3\n"
                   "\\ No newline at end of file\n";
        // Lines changed in place, between lines kept: the kept lines pair up one way only.
        QTest::newRow("values changed in place, kept lines between them")
                << QByteArray("a\nb\nc\nd\ne\nf\ng\nh\ni\nj\n")
                << QByteArray("A\nb\nC\nd\ne\nf\ng\nh\ni\nJ\n")
                << "--- f\n+++ f\n@@ -1,10 +1,10 @@\n-a\n+A\n b\n-c\n+C\n d\n e\n f\n g\n h\n i\n"
                   "-j\n+J\n";
        // Lines that could pair up more than one way: the shortest script's own choice.
        QTest::newRow("two lines swapped")
                << QByteArray("k\na\nb\nc\nk\n") << QByteArray("k\nb\na\nc\nk\n")
                << "--- f\n+++ f\n@@ -1,5 +1,5 @@\n k\n-a\n b\n+a\n c\n k\n";
        QTest::newRow("repeated lines, one changed")
                << QByteArray("a\nb\na\nb\n") << QByteArray("b\na\nb\nA\n")
                << "--- f\n+++ f\n@@ -1,4 +1,4 @@\n-a\n b\n a\n b\n+A\n";
    }

    void unifiedDiff()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        QFETCH(QString, diff);
        QCOMPARE(vog::unifiedDiff("f", before, after, vog::TextCodec::utf8()), diff);
    }

    // A save's new bytes given as pieces (slices of the bytes as read and the edits' bytes
    // between them) diff as the same bytes in one block do.
    void unifiedDiffInPieces_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QList<int>>("replaced"); // from and to of each edit, in file order
        QTest::addColumn<QByteArrayList>("written");
        const QByteArray eleven = "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n";
        QTest::newRow("two edits seven lines apart")
                << eleven << QList<int>{2, 4, 18, 21} << QByteArrayList{"b\n", "j\n"};
        QTest::newRow("an edit that writes some bytes it replaces again")
                << eleven << QList<int>{2, 8} << QByteArrayList{"b\n3\n4\n"};
        QTest::newRow("inserted lines the same as the lines after them")
                << QByteArray("a\nb\nb\n") << QList<int>{2, 2} << QByteArrayList{"b\nb\n"};
        QTest::newRow("an inserted line the same as the line after it, another after that")
                << QByteArray("a\nb\nc\n") << QList<int>{2, 2} << QByteArrayList{"b\n"};
        QTest::newRow("a line put before the first, another after the last without a line end")
                << QByteArray("1\n2") << QList<int>{0, 0, 3, 3} << QByteArrayList{"0\n", "\n3"};
        QTest::newRow("edits that write what they replace")
                << QByteArray("x\ny\n") << QList<int>{0, 1, 2, 3} << QByteArrayList{"x", "y"};
        QTest::newRow("everything replaced")
                << QByteArray("1\n2\n") << QList<int>{0, 4} << QByteArrayList{"3\r\n"};
    }

    void unifiedDiffInPieces()
    {
        QFETCH(QByteArray, before);
        QFETCH(QList<int>, replaced);
        QFETCH(QByteArrayList, written);
        std::vector<QByteArrayView> pieces;
        QByteArray after;
        qsizetype copied = 0;
        for (qsizetype i = 0; i < written.size(); ++i) {
            pieces.push_back(QByteArrayView(before).sliced(copied, replaced[2 * i] - copied));
            pieces.push_back(written[i]);
            copied = replaced[2 * i + 1];
        }
        pieces.push_back(QByteArrayView(before).sliced(copied));
        for (QByteArrayView p : pieces)
            after += p;
        const QString inOneBlock = vog::unifiedDiff("f", before, after, vog::TextCodec::utf8());
        QCOMPARE(inOneBlock.isEmpty(), before == after);
        QCOMPARE(vog::unifiedDiff("f", before, pieces, vog::TextCodec::utf8()), inOneBlock);
    }

    // New bytes in pieces of every size, written across the 4 MB blocks of a write past the
    // system's cache (a last part that fills no whole page), land whole and in order.
    void writePiecesAcrossSteps()
    {
        ConfigFixture files;
        QByteArray asRead(20 << 20, 'a');
        for (qsizetype i = 0; i < asRead.size(); i += 4099)
            asRead[i] = char('0' + i % 10);
        const QString path = files.write(asRead);
        const qsizetype step = 8 << 20;
        const QByteArrayView bytes(asRead);
        const std::vector<QByteArrayView> pieces{
                bytes.first(step - 3), "Sysop one\n", bytes.sliced(step - 3, 1),
                bytes.sliced(step - 2, step + 1), "", "Sysop two\n", bytes.sliced(2 * step - 1)};
        QByteArray expected;
        for (QByteArrayView p : pieces)
            expected += p;
        vog::writeFiles({{path, asRead, {}, false, std::nullopt, pieces}});
        QCOMPARE(bytesOf(path), expected);
        QCOMPARE(bytesOf(path + ".bak"), asRead);
    }

    // A long file's bytes as read stand in a mapping of it while the preview is open: a file
    // cut short or written over meanwhile is refused when the save is confirmed, with nothing
    // written, and the program goes on.
    void changedWhileThePreviewIsOpen_data()
    {
        QTest::addColumn<bool>("cutShort");
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("secondName"); // the .bak is then a copy
        QTest::newRow("cut short") << true << (3 << 20) << false;
        QTest::newRow("cut short, written past the cache") << true << (20 << 20) << false;
        QTest::newRow("cut short, with a second name") << true << (3 << 20) << true;
        QTest::newRow("written over in place") << false << (3 << 20) << false;
    }

    void changedWhileThePreviewIsOpen()
    {
        QFETCH(bool, cutShort);
        QFETCH(int, size);
        QFETCH(bool, secondName);
        Program program;
        ConfigFixture files;
        const QByteArray filler("; a comment, one of the many that make this file a long one\n");
        const QString path =
                files.write("Name a\n" + filler.repeated(size / filler.size()) + "Sysop s\n");
        const QByteArray name = QFile::encodeName(path);
        QVERIFY(!secondName || ::link(name.constData(), (name + ".2").constData()) == 0);
        QVERIFY(openConfig(path).isEmpty());
        vog::ConfigDocument &doc = vog::document();
        doc.setValue(*vog::rowNamed("Sysop"), -1, QStringLiteral("t"));
        vog::PreparedSave save = vog::prepareSave(doc);
        QCOMPARE(save.writes.size(), std::size_t(1));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(cutShort ? file.resize(100)
                         : file.seek(size / 2) && file.write(QByteArray(4096, 'x')) == 4096);
        file.close();
        const QByteArray onDisk = bytesOf(path);
        QString error;
        vog::guarded([&] { vog::commitSave(doc, save); }, [&](const QString &m) { error = m; });
        QVERIFY2(error.contains("was changed on disk after it was read"), qPrintable(error));
        QCOMPARE(bytesOf(path), onDisk);
        QVERIFY(!QFileInfo::exists(path + ".bak"));
        QVERIFY(doc.hasChanges());
    }

    // The preview colours the lines in view, and those scrolled to, and no others: a diff of
    // thousands of lines shows without each being laid out first.
    void previewColoursLinesInView()
    {
        QString diff = "--- f\n+++ f\n@@ -1,3000 +1,3000 @@\n";
        for (int i = 0; i < 3000; ++i)
            diff += QString("-Sysop %1\n").arg(i);
        SavePreview preview({{"f", diff, {}}});
        preview.show();
        QVERIFY(QTest::qWaitForWindowExposed(&preview));
        QTextDocument *text = preview.SaveDiff->document();
        const auto coloured = [&](int line) {
            QCoreApplication::processEvents();
            const auto f = text->findBlockByNumber(line).layout()->formats();
            return !f.isEmpty() && f[0].format.background().color() == QColor(0xff, 0xdc, 0xdc);
        };
        QTRY_VERIFY(coloured(3));
        QVERIFY(!coloured(2000));
        QScrollBar *bar = preview.SaveDiff->verticalScrollBar();
        bar->setValue(bar->maximum());
        QTRY_VERIFY(coloured(3002));
        QVERIFY(!coloured(1500));
    }

    void closeWithChanges_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<bool>("saved");
        const int save = QMessageBox::Save;
        QTest::newRow("Save, and Save at the preview") << save << true << true << true;
        QTest::newRow("Save, then Cancel at the preview") << save << false << false << false;
        QTest::newRow("Discard") << int(QMessageBox::Discard) << true << true << false;
        QTest::newRow("Cancel") << int(QMessageBox::Cancel) << true << false << false;
    }

    void closeWithChanges()
    {
        QFETCH(int, answer);
        QFETCH(bool, confirm);
        QFETCH(bool, closes);
        QFETCH(bool, saved);
        QTest::failOnWarning(QRegularExpression("setWindowModified"));
        Program program;
        ConfigFixture files;
        const QString path = files.write("Name a\nSysop s\n");
        QVERIFY(openConfig(path).isEmpty() && !Main->N3->isEnabled());
        vog::document().setValue(*vog::rowNamed("Name"), -1, QStringLiteral("b"));
        QVERIFY(Main->N3->isEnabled() && Main->isWindowModified());

        QStringList asked;
        QString diff;
        QTimer answers;
        connect(&answers, &QTimer::timeout, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            if (auto *preview = qobject_cast<SavePreview *>(modal)) {
                diff = preview->SaveDiff->toPlainText();
                confirm ? preview->accept() : preview->reject();
            } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                asked.append(box->objectName() + ": " + box->text());
                box->button(QMessageBox::StandardButton(answer))->click();
            }
        });
        answers.start(5);
        QCOMPARE(Main->close(), closes);

        QCOMPARE(asked, QStringList{"SaveQuestion: Save the changes before closing?"});
        QCOMPARE(bytesOf(path), saved ? "Name b\nSysop s\n" : "Name a\nSysop s\n");
        QCOMPARE(QFile::exists(path + ".bak"), saved);
        QVERIFY2(diff.contains(answer == QMessageBox::Save ? "\n-Name a\n+Name b\n Sysop s" : ""),
                 qPrintable(diff));
        // A window that closed is marked no more; the changes stay until they are saved.
        QCOMPARE(Main->isWindowModified(), !saved && !closes);
        QCOMPARE(Main->N3->isEnabled(), !saved);
        QCOMPARE(Main->SaveStatus->text(), saved ? "Saved 1 file" : "Unsaved changes");
        QCOMPARE(Main->windowTitle(), QStringLiteral("Vog config"));
    }

    // A link typed into the list is loaded as the list loses the focus before a command; the
    // error that load shows ends the command, so the user meets one box at a time.
    void errorEndingTheEditEndsTheCommand_data()
    {
        QTest::addColumn<bool>("closing");
        QTest::newRow("Save") << false;
        QTest::newRow("closing the main window") << true;
    }

    void errorEndingTheEditEndsTheCommand()
    {
        QFETCH(bool, closing);
        Program program;
        ConfigFixture files;
        const QByteArray bytes = "Name a\nLink Good\nLink Bad\nPktSize x\n";
        const QString path = files.write(bytes);
        QVERIFY(openConfig(path).isEmpty());
        vog::document().setValue(*vog::rowNamed("Name"), -1, QStringLiteral("b"));
        Link_Keywords->show();
        Link_Keywords->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Link_Keywords));
        Link_Keywords->LinkChange->setFocus();
        Link_Keywords->LinkChange->setEditText(QStringLiteral("bad"));

        QStringList asked;
        QTimer answers;
        connect(&answers, &QTimer::timeout, [&] {
            // Each dialog that comes is named and sent away; only the error box should come.
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (dialog && dialog->isVisible()) {
                auto *box = qobject_cast<QMessageBox *>(dialog);
                asked.append(dialog->objectName() + (box ? ": " + box->text() : QString()));
                dialog->reject();
            }
        });
        answers.start(5);
        if (closing)
            QVERIFY(!Main->close());
        else
            Main->N3Click();

        QCOMPARE(asked, QStringList{"ErrorBox: 'x' is not a valid whole number (line 4)."});
        QCOMPARE(bytesOf(path), bytes);
        QVERIFY(vog::document().hasChanges());
        QCOMPARE(Link_Keywords->focusWidget(), Link_Keywords->LinkChange);
    }

    // The status line counts the file as it stands after each command, a message about one
    // command goes with the next, and a save from an editor window leaves it active.
    void statusLineAndActiveWindowAfterEachCommand()
    {
        Program program;
        ConfigFixture files;
        const QString path = files.write("Name a\nLink A\nAka 1:1/1\nLink B\nAka 1:1/2\n");
        QVERIFY(openConfig(path).isEmpty());
        const QString utf8 = ", " + vog::sourceFile(0).codec.name();
        QCOMPARE(Main->CodepageLabel->text(), "test.cfg: 5 lines, 2 links" + utf8);
        whenModal<vog::LinkDialog>([](vog::LinkDialog *d) {
            d->LinkNameEdit->setText("C");
            d->LinkAkaEdit->setText("1:1/3");
            d->accept();
        }, [] { Link_Keywords->NewLinkButton->click(); });
        QCOMPARE(Main->CodepageLabel->text(), "test.cfg: 8 lines, 3 links" + utf8);
        Main->show();
        General_Keywords->show();
        General_Keywords->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(General_Keywords));
        General_Keywords->field<vog::TextField>("Sysop")->setText("s");
        whenModal<SavePreview>([](SavePreview *preview) { preview->accept(); },
                               [] { QTest::keyClick(General_Keywords, Qt::Key_S, Qt::ControlModifier); });
        QCOMPARE(bytesOf(path).count('\n'), 9);
        QCOMPARE(Main->SaveStatus->text() + Main->CodepageLabel->text(),
                 "Saved 1 filetest.cfg: 9 lines, 3 links" + utf8);
        QTRY_COMPARE(QApplication::activeWindow(), General_Keywords);
        QVERIFY(openConfig(files.write("Link E\n", "other.cfg")).isEmpty());
        QCOMPARE(Main->SaveStatus->text() + Main->CodepageLabel->text(), "other.cfg: 1 line, 1 link" + utf8);
    }
};

QTEST_MAIN(TestSave)
#include "tst_save.moc"
