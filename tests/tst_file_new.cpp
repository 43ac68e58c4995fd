// File > New through the menu, its save dialog and the close question, and the saves of the
// file it starts, judged by the file's bytes.
#include "TestSupport.h"

#include "document/ConfigDocument.h"
#include "document/SafeWrite.h"
#include "editors/TGeneral_Keywords.h"
#include "editors/TLink_Keywords.h"
#include "reader/Errors.h"
#include "shell/Startup.h"
#include "shell/TMain.h"

#include <QtTest>
#include <QtWidgets>

#include <sys/stat.h>

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
}

// Runs a menu command as the user answers it: a file dialog by typing this name (cancelled
// for a null one), the close question with `question`, an error box with OK, the save
// preview with Save. Gives the boxes and dialogs met, as "name: text".
QStringList answered(QAction *command, const QString &name = {},
                     QMessageBox::StandardButton question = QMessageBox::Cancel)
{
    QStringList seen;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
            seen << dialog->objectName() + ": " + dialog->labelText(QFileDialog::Accept);
            dialog->findChild<QLineEdit *>("fileNameEdit")->setText(name);
            QMetaObject::invokeMethod(dialog, name.isNull() ? "reject" : "accept",
                                      Qt::QueuedConnection);
        } else if (auto *box = qobject_cast<QMessageBox *>(modal); box && box->isVisible()) {
            seen << box->objectName() + ": " + box->text();
            box->button(box->objectName() == "ErrorBox" ? QMessageBox::Ok : question)->click();
        } else if (auto *preview = qobject_cast<QDialog *>(modal)) {
            preview->accept();
        }
    });
    timer.start(5);
    command->trigger();
    return seen;
}

void retype(const char *window, const char *name, const QString &text)
{
    windowNamed(window)->show();
    auto *edit = windowNamed(window)->findChild<QLineEdit *>(name);
    edit->setFocus();
    edit->selectAll();
    QKeyEvent typed(QEvent::KeyPress, 0, Qt::NoModifier, text); // as a keyboard sends it
    QApplication::sendEvent(edit, &typed);
}

// Every field of the editor windows, with its state.
QStringList allFields()
{
    QStringList states;
    for (const char *name : {"General_Keywords", "Files_and_Paths", "Link_Keywords"})
        for (QWidget *w : windowNamed(name)->findChildren<QWidget *>())
            states << w->objectName() + "=" + fieldState(w);
    return states;
}

} // namespace

class TestFileNew final : public QObject
{
    Q_OBJECT
private slots:
    // New after an Open: a name in use is refused; unsaved changes are asked about first. Once
    // New goes on, every field shows what a fresh start shows, and no link is left.
    void afterAnOpen_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("answer"); // to the close question, for a change typed
        QTest::addColumn<QString>("seen"); // %1 the folder
        const auto row = [](const char *tag, const char *name, int answer, const QString &seen) {
            QTest::newRow(tag) << QString(name) << answer << seen;
        };
        const QString asked = "SaveQuestion: Save the changes before closing?";
        const QString dialog = "NewDialog: Create";
        row("file", "a.cfg", 0, dialog + "|ErrorBox: %1/a.cfg exists; open it to edit it.");
        row("link to nothing", "dangling", 0,
            dialog + "|ErrorBox: %1/dangling exists; open it to edit it.");
        row("no folder", "no/a.cfg", 0,
            dialog + "|ErrorBox: %1/no/a.cfg can't be created: its folder doesn't exist.");
        row("cancel", "new.cfg", QMessageBox::Cancel, asked);
        row("discard", "new.cfg", QMessageBox::Discard, asked + "|" + dialog);
        row("save", "new.cfg", QMessageBox::Save, asked + "|" + dialog);
    }
    void afterAnOpen()
    {
        QFETCH(QString, name);
        QFETCH(int, answer);
        QFETCH(QString, seen);
        Program program;
        const QStringList initial = allFields();
        ConfigFixture files;
        QFile::link(files.path("nowhere"), files.path("dangling"));
        const QString path = files.write("Name a\nLinkDefaults begin\nPassword p\n"
                                         "LinkDefaults end\nLink A\nAka 2:5020/1\n", "a.cfg");
        QVERIFY(openConfig(path).isEmpty());
        const QString status = Main->CodepageLabel->text();
        if (answer)
            retype("General_Keywords", "Name", "b");
        General_Keywords->show();
        QWidget *window = General_Keywords;
        const QString dir = QFileInfo(path).absolutePath();
        QCOMPARE(answered(Main->N5, dir + "/" + name, QMessageBox::StandardButton(answer)),
                 QString(seen).replace("%1", dir).split(u'|'));
        const bool goesOn = seen.endsWith("Create");
        QCOMPARE(allFields() == initial, goesOn);
        QVERIFY(General_Keywords == window); // the windows stay, and follow the document
        QCOMPARE(Link_Keywords->LinkChange->count(), goesOn ? 0 : 1);
        QCOMPARE(vog::document().hasChanges(), answer == QMessageBox::Cancel);
        QCOMPARE(Main->CodepageLabel->text(), goesOn ? "new.cfg: new file, UTF-8" : status);
        QVERIFY(General_Keywords->isVisible() && Main->N6->menuAction()->isEnabled());
        QCOMPARE(bytesOf(path).left(6), answer == QMessageBox::Save ? "Name b" : "Name a");
    }

    // Typed values go into the new file. A file that took its name meanwhile is refused by the
    // save and by the write itself; then the first save creates it, and a later one rewrites it.
    void firstAndSecondSave()
    {
        Program program;
        ConfigFixture files;
        const QString path = files.path("new.cfg");
        answered(Main->N5, path);
        retype("General_Keywords", "Name", "Hub");
        retype("General_Keywords", "Sysop", "Вася");
        retype("Files_and_Paths", "Outbound", "/out");
        files.write("Other\n", "new.cfg");
        const QString why = path + " appeared on disk after it was chosen as a new file; open "
                                   "it to edit it";
        QCOMPARE(answered(Main->N3), QStringList{"ErrorBox: " + why + "."});
        QString refused;
        const std::vector<vog::FileWrite> created{{path, {}, "Name x\n", true}};
        vog::guarded([&] { vog::writeFiles(created); }, [&](const QString &e) { refused = e; });
        QVERIFY(refused == why && bytesOf(path) == "Other\n");

        QFile::remove(path);
        QCOMPARE(answered(Main->N3), QStringList());
        QCOMPARE(bytesOf(path), "Name Hub\nSysop Вася\nOutbound /out\n");
        const mode_t mask = ::umask(0);
        ::umask(mask);
        struct stat st;
        QVERIFY(::stat(QFile::encodeName(path).constData(), &st) == 0);
        QCOMPARE(st.st_mode & 0777, 0666 & ~mask);
        retype("General_Keywords", "Origin", "Here");
        retype("General_Keywords", "Name", "Hub two");
        QCOMPARE(answered(Main->N3), QStringList());
        QCOMPARE(bytesOf(path), "Name Hub two\nSysop Вася\nOrigin Here\nOutbound /out\n");
        QVERIFY(!QFile::exists(path + ".bak"));
    }
};

QTEST_MAIN(TestFileNew)
#include "tst_file_new.moc"
