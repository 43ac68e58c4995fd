// File > New through the menu, its save dialog and the close question, and the first saves of
// the file it starts, judged by the file's bytes.
#include "TestSupport.h"

#include "document/ConfigDocument.h"
#include "document/SafeWrite.h"
#include "reader/Errors.h"
#include "editors/TFiles_and_Paths.h"
#include "editors/TGeneral_Keywords.h"
#include "editors/TLink_Keywords.h"
#include "fields/FileOpenDialog.h"
#include "shell/SavePreview.h"
#include "shell/Startup.h"
#include "shell/TMain.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QtTest>

#include <sys/stat.h>

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
}

// Runs a command as the user answers it: the new file's dialog with this name (cancelled for
// a null one), the close question with `question`, the preview with Save. Gives every box it
// met as "name: text".
QStringList answered(const std::function<void()> &command, const QString &name = {},
                     QMessageBox::StandardButton question = QMessageBox::Cancel)
{
    QStringList seen;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
            const bool save = dialog->acceptMode() == QFileDialog::AcceptSave;
            seen << dialog->objectName() + (save ? " to save" : "");
            dialog->findChild<QLineEdit *>("fileNameEdit")->setText(name);
            QMetaObject::invokeMethod(dialog, name.isNull() ? "reject" : "accept",
                                      Qt::QueuedConnection);
        } else if (auto *preview = qobject_cast<SavePreview *>(modal)) {
            preview->accept();
        } else if (auto *box = qobject_cast<QMessageBox *>(modal); box && box->isVisible()) {
            seen << box->objectName() + ": " + box->text();
            box->button(box->objectName() == "ErrorBox" ? QMessageBox::Ok : question)->click();
        }
    });
    timer.start(5);
    command();
    return seen;
}

void retype(QWidget *window, const char *name, const QString &text)
{
    window->show();
    auto *edit = window->findChild<QLineEdit *>(name);
    edit->setFocus();
    edit->selectAll();
    QKeyEvent typed(QEvent::KeyPress, 0, Qt::NoModifier, text); // as a keyboard sends it
    QApplication::sendEvent(edit, &typed);
}

// Every field's state by window and name.
QStringList allFields()
{
    QStringList states;
    for (QWidget *window : QList<QWidget *>{General_Keywords, Files_and_Paths, Link_Keywords})
        for (QWidget *w : window->findChildren<QWidget *>())
            if (fieldState(w) != "<unknown kind>")
                states << window->objectName() + "/" + w->objectName() + "=" + fieldState(w);
    return states;
}

const QString question = "SaveQuestion: Save the changes before closing?";

} // namespace

class TestFileNew final : public QObject
{
    Q_OBJECT
private slots:
    // After an Open with values, links and defaults, New shows what a fresh start shows.
    void startsFromTheInitialStates()
    {
        Program program;
        const QStringList initial = allFields();
        ConfigFixture files;
        QVERIFY(openConfig(files.write("Name Hub\nAreafixMsgSize 40\nLinkDefaults begin\n"
                                       "Password p\nLinkDefaults end\nLink A\nAka 2:5020/1\n"))
                        .isEmpty());
        General_Keywords->show();
        QCOMPARE(answered([] { Main->N5->trigger(); }, files.path("new.cfg")),
                 QStringList{"NewDialog to save"});
        QCOMPARE(allFields(), initial);
        QCOMPARE(Link_Keywords->LinkChange->count(), 0);
        QVERIFY(General_Keywords->isVisible() && Main->N6->menuAction()->isEnabled());
        QVERIFY(!Main->N3->isEnabled() && !QFile::exists(files.path("new.cfg")));
        QCOMPARE(Main->CodepageLabel->text(), "new.cfg: new file, UTF-8");
    }

    void refusesANameInUse_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("file") << "test.cfg" << "%1 exists; open it to edit it.";
        QTest::newRow("folder") << "." << "%1 exists; open it to edit it.";
        QTest::newRow("link to nothing") << "dangling" << "%1 exists; open it to edit it.";
        QTest::newRow("no folder") << "none/new.cfg"
                                   << "%1 can't be created: its folder doesn't exist.";
    }
    void refusesANameInUse()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);
        Program program;
        ConfigFixture files;
        const QString path = files.write("Name Kept\n");
        QFile::link(files.path("nowhere"), files.path("dangling"));
        QVERIFY(openConfig(path).isEmpty());
        const QString status = Main->CodepageLabel->text();
        QWidget *window = General_Keywords;
        const QString full = QFileInfo(files.path(name)).absoluteFilePath();
        vog::FileOpenDialog::setNextAnswer(full);
        QCOMPARE(answered([] { Main->N5->trigger(); }),
                 QStringList{"ErrorBox: " + message.arg(full)});
        QCOMPARE(General_Keywords, window);
        QCOMPARE(fieldState(General_Keywords, "Name"), "Kept");
        QCOMPARE(Main->CodepageLabel->text(), status);
        QCOMPARE(bytesOf(path), "Name Kept\n");
    }

    // Unsaved changes: the close question comes first, and its answer decides.
    void asksFirst_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QByteArray>("saved");
        QTest::addColumn<QString>("name");
        QTest::newRow("cancel") << int(QMessageBox::Cancel) << QByteArray("Name a\n") << "b";
        QTest::newRow("discard") << int(QMessageBox::Discard) << QByteArray("Name a\n") << "";
        QTest::newRow("save") << int(QMessageBox::Save) << QByteArray("Name b\n") << "";
    }
    void asksFirst()
    {
        QFETCH(int, answer);
        QFETCH(QByteArray, saved);
        QFETCH(QString, name);
        Program program;
        ConfigFixture files;
        const QString path = files.write("Name a\n");
        QVERIFY(openConfig(path).isEmpty());
        retype(General_Keywords, "Name", "b");
        const QStringList seen = answered([] { Main->N5->trigger(); }, files.path("new.cfg"),
                                          QMessageBox::StandardButton(answer));
        QCOMPARE(seen.first(), question);
        QCOMPARE(seen.size(), name.isEmpty() ? 2 : 1); // the dialog came after it, or not
        QCOMPARE(fieldState(General_Keywords, "Name"), name);
        QCOMPARE(vog::document().hasChanges(), !name.isEmpty());
        QCOMPARE(bytesOf(path), saved);
    }

    // Typed values go into the new file; the first save creates it, a later one rewrites it.
    void firstAndSecondSave()
    {
        Program program;
        ConfigFixture files;
        const QString path = files.path("new.cfg");
        answered([] { Main->N5->trigger(); }, path);
        retype(General_Keywords, "Name", "Hub");
        retype(General_Keywords, "Sysop", "Вася");
        retype(Files_and_Paths, "Outbound", "/out");
        QCOMPARE(answered([] { Main->N3->trigger(); }), QStringList());
        QCOMPARE(bytesOf(path), "Name Hub\nSysop Вася\nOutbound /out\n");
        const mode_t mask = ::umask(0);
        ::umask(mask);
        struct stat st;
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, 0666 & ~mask);
        retype(General_Keywords, "Origin", "Here");
        retype(General_Keywords, "Name", "Hub two");
        QCOMPARE(answered([] { Main->N3->trigger(); }), QStringList());
        QCOMPARE(bytesOf(path), "Name Hub two\nSysop Вася\nOrigin Here\nOutbound /out\n");
        QVERIFY(!QFile::exists(path + ".bak"));
    }

    // Something took the name after New: the save refuses, and writes nothing.
    void refusedWhenTheNameIsTaken_data()
    {
        QTest::addColumn<bool>("link");
        QTest::newRow("file") << false;
        QTest::newRow("link") << true;
    }
    void refusedWhenTheNameIsTaken()
    {
        QFETCH(bool, link);
        Program program;
        ConfigFixture files;
        const QString path = files.path("new.cfg");
        answered([] { Main->N5->trigger(); }, path);
        retype(General_Keywords, "Name", "Hub");
        const QString other = files.write("Other\n", link ? "other.cfg" : "new.cfg");
        if (link)
            QFile::link(other, path);
        QCOMPARE(answered([] { Main->N3->trigger(); }),
                 QStringList{"ErrorBox: " + path
                             + " appeared on disk after it was chosen as a new file; open it to "
                               "edit it."});
        QCOMPARE(bytesOf(other), "Other\n");
        QVERIFY(vog::document().hasChanges() && !QFile::exists(path + ".bak"));
    }

    // The write itself refuses too, for a name taken between the read and the write.
    void writeRefusesATakenName()
    {
        ConfigFixture files;
        const QString path = files.write("Other\n", "new.cfg");
        const std::vector<vog::FileWrite> created{{path, {}, "Name x\n", true}};
        QString refused;
        vog::guarded([&] { vog::writeFiles(created); }, [&](const QString &why) { refused = why; });
        QCOMPARE(refused, path + " appeared on disk after it was chosen as a new file; open it "
                                 "to edit it");
        QCOMPARE(bytesOf(path), "Other\n");
    }
};

QTEST_MAIN(TestFileNew)
#include "tst_file_new.moc"
