// A seeded random walk over every window: clicks, typing, link picks, browse dialogs answered
// at random, Opens from a pool of good and hostile files, saves confirmed or cancelled at the
// preview, File > New with a fresh name or one in use, windows closed and shown again. The
// pool is a copy in a temporary folder, the only place a save can write. After every step the
// invariants are checked; a failure names the seed and the step, and
//   monkey --seed S --steps N
// replays it exactly. Usage: monkey [--seed S] [--seconds T] [--steps N] [--verbose]
#include "document/ConfigDocument.h"
#include "editors/AreaListModel.h"
#include "editors/DirectoryList.h"
#include "editors/TArea_Definition.h"
#include "editors/TFiles_and_Paths.h"
#include "editors/TGeneral_Keywords.h"
#include "editors/LinkDialog.h"
#include "editors/TLink_Keywords.h"
#include "document/ConfigDocument.h"
#include "editors/TSelect_directory.h"
#include "fields/BrowseButton.h"
#include "fields/FileOpenDialog.h"
#include "shell/SavePreview.h"
#include "shell/Startup.h"
#include "shell/TMain.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTableView>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <map>
#include <random>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__) || defined(__has_feature)
#if defined(__SANITIZE_ADDRESS__) || __has_feature(address_sanitizer)
#include <sanitizer/common_interface_defs.h>
#define VOG_DEATH_CALLBACK 1
#endif
#endif

namespace {

// Where the walk is, for every way it can end: readable from signal handlers and the watchdog.
quint32 g_seed = 0;
std::atomic<long> g_step{0};
std::atomic<long> g_lastProgress{0};

long nowMs()
{
    using namespace std::chrono;
    return long(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void sayWhere(const char *why)
{
    std::fprintf(stderr, "\nmonkey: %s at seed %u step %ld; replay: monkey --seed %u --steps %ld\n",
                 why, g_seed, g_step.load(), g_seed, g_step.load() + 1);
    std::fflush(stderr);
}

[[noreturn]] void fail(const QString &what)
{
    sayWhere(qPrintable(what));
    std::_Exit(1);
}

// A user's click or key goes to the window in front: bring it there first, as a click does.
void activate(QWidget *w)
{
    w->window()->activateWindow();
    QCoreApplication::processEvents();
}

class Walk : public QObject
{
public:
    Walk(quint32 seed, bool verbose) : m_rng(seed), m_verbose(verbose) { makePool(); }

    void step();
    int errorBoxes() const { return m_boxes; }

    // Acts on the modal dialog that is up, if any: one answer per tick.
    void answerModal();

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }
    bool chance(int percent) { return pick(100) < percent; }
    template <typename T>
    T any(const QList<T> &list) { return list.isEmpty() ? T() : list.at(pick(list.size())); }
    void note(const QString &what)
    {
        m_what = what;
        if (m_verbose)
            std::fprintf(stderr, "%ld: %s\n", g_step.load(), qPrintable(what));
    }

    void makePool();
    QList<QWidget *> windows() const;
    QList<QWidget *> shownWindows() const;
    template <typename T>
    QList<T *> enabledIn(const QList<QWidget *> &tops) const;
    QString randomText();
    void typeInto(QWidget *w, const QString &text);
    void click(QWidget *w, QPoint at = {});
    void pickLink();
    // Rows of the area list clicked, with Ctrl or Shift or neither.
    void pickAreas();
    void useMenu();
    void open();
    void save();
    // Every regular file in the walk's folder, by path.
    std::map<QString, QByteArray> filesOnDisk() const;
    void checkInvariants();

    std::mt19937 m_rng;
    bool m_verbose;
    QString m_what;
    QTemporaryDir m_dir;
    QStringList m_configs, m_errorConfigs, m_paths;
    QString m_answer; // what the next file dialog is to be answered with, when set
    int m_boxes = 0;
    int m_boxesBeforeOpen = 0; // once Main is in front: leaving a field may show its own box

    bool m_opened = false;
    bool m_busy = false;
    // What the folder held after the last step, and what a Save confirmed in this step may
    // write: the files of its preview and their .bak files.
    std::map<QString, QByteArray> m_disk;
    QStringList m_mayWrite;
};

void Walk::makePool()
{
    const QString d = QFileInfo(m_dir.path()).canonicalFilePath();
    QDir(d).mkdir(QStringLiteral("pool"));
    for (const char *folder : {VOG_EXAMPLES, VOG_CORPUS})
        for (const QFileInfo &f : QDir(QString::fromLocal8Bit(folder)).entryInfoList(QDir::Files)) {
            const QString copy = QStringLiteral("%1/pool/%2-%3")
                                         .arg(d).arg(m_configs.size()).arg(f.fileName());
            QFile::copy(f.absoluteFilePath(), copy);
            m_configs.append(copy);
        }
    QDir(d).mkdir(QStringLiteral("folder.cfg"));
    ::mkfifo(QFile::encodeName(d + QStringLiteral("/fifo.cfg")).constData(), 0600);
    QFile junk(d + QStringLiteral("/junk.cfg"));
    junk.open(QIODevice::WriteOnly);
    QByteArray bytes;
    for (int i = 0; i < 4096; ++i)
        bytes.append(char(pick(256)));
    junk.write(bytes);
    junk.close();
    QFile bad(d + QStringLiteral("/number.cfg"));
    bad.open(QIODevice::WriteOnly);
    bad.write("Link Bad\nAka 2:5020/1\nArcmailSize 12abc\nLink Next\n");
    bad.close();
    m_errorConfigs = QStringList{d + QStringLiteral("/folder.cfg"), d + QStringLiteral("/fifo.cfg"),
                                 d + QStringLiteral("/missing.cfg"),
                                 d + QStringLiteral("/no/such/dir.cfg"),
                                 d + QStringLiteral("/number.cfg"), QStringLiteral("/dev/zero")};
    m_configs.append(d + QStringLiteral("/junk.cfg"));
    m_configs += m_errorConfigs;
    m_paths = m_configs + QStringList{d, QDir::rootPath(), QDir::tempPath(), QString()};
    m_disk = filesOnDisk();
}

std::map<QString, QByteArray> Walk::filesOnDisk() const
{
    std::map<QString, QByteArray> files;
    for (QDirIterator it(QFileInfo(m_dir.path()).canonicalFilePath(), QDir::Files | QDir::Hidden,
                         QDirIterator::Subdirectories);
         it.hasNext();) {
        QFile f(it.next());
        if (it.fileInfo().isFile() && f.open(QIODevice::ReadOnly))
            files[f.fileName()] = f.readAll();
    }
    return files;
}

QList<QWidget *> Walk::windows() const
{
    // The chooser is no window of its own: it only ever comes modally, from a browse button.
    return QList<QWidget *>{Main, General_Keywords, Files_and_Paths, Link_Keywords,
                            Area_Definition};
}

QList<QWidget *> Walk::shownWindows() const
{
    QList<QWidget *> shown;
    for (QWidget *w : windows())
        if (w->isVisible())
            shown.append(w);
    return shown;
}

template <typename T>
QList<T *> Walk::enabledIn(const QList<QWidget *> &tops) const
{
    QList<T *> found;
    for (QWidget *top : tops)
        for (T *w : top->findChildren<T *>())
            if (w->isEnabled() && w->isVisibleTo(top))
                found.append(w);
    return found;
}

QString Walk::randomText()
{
    static const QStringList words{
            "0", "1", "42", "100000", "100001", "999999999999", "-1", "-2147483648", "2147483648",
            "$7F", "0x10", "12abc", "abc", " ", "x y", "2:5020/9999", "C:\\dos\\path", "/tmp",
            QString(QChar(0x2029)), QString(QChar(0x2028)), QStringLiteral("\u0416\u0443\u043a"),
            QStringLiteral("\r"), QStringLiteral("\n"), QStringLiteral("\t"), QStringLiteral("\b")};
    QString text;
    for (int n = 1 + pick(3); n > 0; --n)
        text += words.at(pick(words.size()));
    return text;
}

void Walk::typeInto(QWidget *w, const QString &text)
{
    activate(w);
    w->setFocus();
    QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : w;
    if (chance(30))
        QTest::keyClick(target, Qt::Key_A, Qt::ControlModifier);
    for (QChar c : text) {
        QPointer<QWidget> alive(target);
        if (c == u'\n')
            QTest::keyClick(target, Qt::Key_Return);
        else if (c == u'\t')
            QTest::keyClick(target, Qt::Key_Tab);
        else if (c == u'\b')
            QTest::keyClick(target, Qt::Key_Backspace);
        else
            QTest::sendKeyEvent(QTest::Click, target,
                                c.isLetterOrNumber() && c.unicode() < 128
                                        ? Qt::Key(c.toUpper().unicode())
                                        : Qt::Key_unknown,
                                QString(c), Qt::NoModifier);
        if (!alive)
            return;
    }
    if (chance(20))
        QTest::keyClick(target, Qt::Key_Z, Qt::ControlModifier);
}

void Walk::click(QWidget *w, QPoint at)
{
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, at.isNull() ? w->rect().center() : at);
}

void Walk::pickAreas()
{
    QTableView *list = Area_Definition->AreaList;
    Area_Definition->show();
    const int rows = list->model()->rowCount();
    if (rows == 0)
        return;
    static const Qt::KeyboardModifier how[] = {Qt::NoModifier, Qt::ControlModifier,
                                               Qt::ShiftModifier};
    const QModelIndex index = list->model()->index(pick(rows), pick(7));
    const Qt::KeyboardModifier modifier = how[pick(3)];
    note(QStringLiteral("pick area row %1 with %2").arg(index.row()).arg(int(modifier), 0, 16));
    activate(list);
    list->scrollTo(index);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, modifier,
                      list->visualRect(index).center());
}

void Walk::pickLink()
{
    QComboBox *links = Link_Keywords->LinkChange;
    Link_Keywords->show();
    const int count = links->count();
    switch (pick(3)) {
    case 0: { // by mouse, from the open list
        links->showPopup();
        QAbstractItemView *view = links->view();
        if (count > 0) {
            const QModelIndex index = links->model()->index(pick(count), 0);
            view->scrollTo(index);
            note(QStringLiteral("pick link %1 by mouse").arg(index.row()));
            click(view->viewport(), view->visualRect(index).center());
        }
        if (view->isVisible())
            links->hidePopup();
        break;
    }
    case 1: { // by keyboard
        static const Qt::Key keys[] = {Qt::Key_Down, Qt::Key_Up, Qt::Key_PageDown,
                                       Qt::Key_PageUp};
        const Qt::Key key = keys[pick(4)];
        note(QStringLiteral("pick link by key %1").arg(int(key), 0, 16));
        links->setFocus();
        QTest::keyClick(links, key);
        break;
    }
    default: { // by typing a name, or a part of one, or anything
        QString text = count > 0 && chance(70) ? links->itemText(pick(count)) : randomText();
        if (chance(30))
            text.truncate(pick(text.size() + 1));
        note(QStringLiteral("type link name %1").arg(text));
        links->lineEdit()->selectAll();
        typeInto(links->lineEdit(), text);
        break;
    }
    }
}

void Walk::useMenu()
{
    Main->show();
    activate(Main);
    m_boxesBeforeOpen = m_boxes;
    QMenuBar *bar = Main->MainMenu;
    QList<QAction *> tops;
    for (QAction *a : bar->actions())
        if (a->isEnabled())
            tops.append(a);
    QAction *top = any(tops);
    note(QStringLiteral("menu %1").arg(top->objectName()));
    click(bar, bar->actionGeometry(top).center());
    if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
        QList<QAction *> items;
        for (QAction *a : menu->actions())
            if (a->isEnabled())
                items.append(a);
        if (QAction *item = any(items); item && chance(85)) {
            note(QStringLiteral("menu item %1").arg(item->objectName()));
            if (item == Main->N2)
                m_answer = any(m_configs);
            // File > New: mostly a fresh name in the folder, else one that exists.
            if (item == Main->N5)
                m_answer = chance(75) ? QStringLiteral("%1/new-%2.cfg")
                                                .arg(QFileInfo(m_dir.path()).canonicalFilePath())
                                                .arg(g_step.load())
                                      : any(m_configs);
            click(menu, menu->actionGeometry(item).center());
        } else {
            QTest::keyClick(menu, Qt::Key_Escape);
        }
    }
}

void Walk::open()
{
    const QString file = any(m_configs);
    note(QStringLiteral("open %1").arg(file));
    activate(Main);
    m_boxesBeforeOpen = m_boxes;
    if (chance(30))
        vog::FileOpenDialog::setNextAnswer(file);
    else
        m_answer = file;
    Main->N2->trigger();
}

// Ctrl+S in the window in front, whichever it is; the menu item is one of useMenu's.
void Walk::save()
{
    note(QStringLiteral("Ctrl+S"));
    m_boxesBeforeOpen = m_boxes;
    QWidget *focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : Main, Qt::Key_S, Qt::ControlModifier);
}

void Walk::answerModal()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (m_busy || !modal || !modal->isVisible())
        return;
    const QScopedValueRollback<bool> busy(m_busy, true);
    g_lastProgress = nowMs();
    QStringList modals;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->isModal())
            modals.append(QStringLiteral("%1 (%2)").arg(
                    w->objectName(), qobject_cast<QMessageBox *>(w)
                                             ? qobject_cast<QMessageBox *>(w)->text()
                                             : QString(w->metaObject()->className())));
    if (modals.size() != 1)
        fail(QStringLiteral("modal windows %1 at once, in: %2").arg(modals.join(", "), m_what));
    if (auto *preview = qobject_cast<SavePreview *>(modal)) {
        const bool confirm = chance(50);
        for (int i = 0; confirm && i < preview->SaveFiles->count(); ++i) {
            // A file that File > New started is not on disk before this save.
            const QFileInfo info(preview->SaveFiles->item(i)->text());
            const QString file = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
            m_mayWrite << file << file + QStringLiteral(".bak");
        }
        click(preview->SaveButtons->button(confirm ? QDialogButtonBox::Save
                                                   : QDialogButtonBox::Cancel));
    } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
        if (box->objectName() == QLatin1String("ErrorBox"))
            ++m_boxes;
        if (m_verbose)
            std::fprintf(stderr, "   box: %s\n", qPrintable(box->text()));
        switch (pick(3)) {
        case 0: click(any(box->buttons())); break; // OK, or Save, Discard or Cancel
        case 1: QTest::keyClick(box, Qt::Key_Return); break;
        default: box->close(); break;
        }
        if (box->isVisible())
            fail(QStringLiteral("the error box stays"));
    } else if (auto *files = qobject_cast<QFileDialog *>(modal)) {
        auto *name = files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        auto *buttons = files->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"));
        const int how = pick(5);
        const QString answer = m_answer.isNull() ? any(m_paths) : m_answer;
        m_answer.clear();
        if (m_verbose)
            std::fprintf(stderr, "   file dialog: %d %s\n", how, qPrintable(answer));
        switch (how) {
        case 0: case 1: { // a name typed, then Enter or the Open (or Create) button
            name->setText(answer);
            QPushButton *accept = buttons->button(files->acceptMode() == QFileDialog::AcceptSave
                                                          ? QDialogButtonBox::Save
                                                          : QDialogButtonBox::Open);
            if (how == 0 || !accept->isEnabled())
                QTest::keyClick(name, Qt::Key_Return);
            else
                click(accept);
            break;
        }
        case 2: click(buttons->button(QDialogButtonBox::Cancel)); break;
        case 3: QTest::keyClick(files, Qt::Key_Escape); break;
        default: files->close(); break;
        }
    } else if (auto *link = qobject_cast<vog::LinkDialog *>(modal)) {
        // A name and an address that are often new and good, sometimes anything.
        link->LinkNameEdit->setText(chance(70) ? QStringLiteral("m%1").arg(pick(1000))
                                               : randomText());
        if (link->LinkAkaEdit)
            link->LinkAkaEdit->setText(chance(70)
                                               ? QStringLiteral("9:%1/%2").arg(pick(100)).arg(pick(1000))
                                               : randomText());
        QPushButton *ok = link->LinkDialogButtons->button(QDialogButtonBox::Ok);
        if (chance(70) && ok->isEnabled())
            click(ok);
        else if (chance(50))
            click(link->LinkDialogButtons->button(QDialogButtonBox::Cancel));
        else
            QTest::keyClick(link, Qt::Key_Escape);
    } else if (auto *area = qobject_cast<AreaDialog *>(modal)) {
        const QString tag = chance(70) ? randomText() : Area_Definition->AreaTag->text();
        typeInto(area->AreaTagEdit, tag);
        typeInto(area->AreaPathEdit, randomText());
        if (m_verbose)
            std::fprintf(stderr, "   new area: %s\n", qPrintable(tag));
        if (chance(70) && area->OkButton->isEnabled())
            click(area->OkButton);
        else
            area->reject();
    } else if (auto *chooser = qobject_cast<TSelect_directory *>(modal)) {
        static const Qt::Key keys[] = {Qt::Key_Down, Qt::Key_Up, Qt::Key_Return,
                                       Qt::Key_Backspace, Qt::Key_Home, Qt::Key_End};
        for (int n = pick(5); n > 0; --n)
            QTest::keyClick(chooser->DirectoryListBox, keys[pick(6)]);
        if (chance(20) && chooser->DriveComboBox->count() > 0)
            chooser->DriveComboBox->setCurrentIndex(pick(chooser->DriveComboBox->count()));
        if (chance(50))
            click(chooser->OkButton);
        else
            chooser->close();
    } else {
        fail(QStringLiteral("an unexpected modal window %1").arg(modal->metaObject()->className()));
    }
}

void Walk::step()
{
    // Each step draws from its own stream: a replay takes the same steps even where the
    // answers of a dialog took a different number of ticks.
    m_rng.seed(g_seed * 1000003u + quint32(g_step.load()));
    bool opening = false;
    const QPointer<QWidget> editors = General_Keywords; // gone once a New makes them again
    if (QWidget *popup = QApplication::activePopupWidget())
        popup->close();
    const QList<QWidget *> shown = shownWindows();
    switch (pick(23)) {
    case 0: case 1: { // show a window, or bring it to the front
        QWidget *w = any(windows());
        note(QStringLiteral("show %1").arg(w->objectName()));
        w->show();
        w->raise();
        w->activateWindow();
        break;
    }
    case 2: { // close one
        QWidget *w = any(windows());
        note(QStringLiteral("close %1").arg(w->objectName()));
        w->close();
        break;
    }
    case 3: case 4: case 5: case 6: { // click a button, box or option
        QAbstractButton *b = any(enabledIn<QAbstractButton>(shown));
        if (!b)
            break;
        note(QStringLiteral("click %1 %2").arg(b->objectName(), b->text()));
        activate(b);
        click(b);
        break;
    }
    case 7: case 8: { // a browse or "+" button
        vog::BrowseButton *b = any(enabledIn<vog::BrowseButton>(shown));
        if (!b)
            break;
        note(QStringLiteral("browse %1").arg(b->objectName()));
        activate(b);
        if (chance(50)) {
            click(b);
        } else {
            b->animateClick();
            QTest::qWait(150);
        }
        break;
    }
    case 9: case 10: case 11: { // typing into a text, number or list field
        QList<QWidget *> fields;
        for (QLineEdit *e : enabledIn<QLineEdit>(shown))
            fields.append(e);
        for (QPlainTextEdit *e : enabledIn<QPlainTextEdit>(shown))
            fields.append(e);
        QWidget *field = any(fields);
        if (!field)
            break;
        const QString text = randomText();
        note(QStringLiteral("type into %1/%2: %3")
                     .arg(field->parentWidget()->objectName(), field->objectName(), text));
        typeInto(field, text);
        break;
    }
    case 12: { // a drop-down by keyboard
        QComboBox *c = any(enabledIn<QComboBox>(shown));
        if (!c)
            break;
        note(QStringLiteral("keys on %1").arg(c->objectName()));
        activate(c);
        c->setFocus();
        QTest::keyClick(c, chance(50) ? Qt::Key_Down : Qt::Key_Up);
        break;
    }
    case 13: case 14: case 15:
        pickLink();
        break;
    case 16: case 17:
        opening = true;
        open();
        break;
    case 18:
        opening = true; // a command, with at most one error box
        save();
        break;
    case 21: case 22:
        pickAreas();
        break;
    default:
        opening = true;
        useMenu();
        break;
    }
    // The deferred work of the step: queued calls, deletions, the answers of animated clicks.
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
    const int boxes = m_boxes - m_boxesBeforeOpen;
    if (opening) {
        const QString name = Main->OpenDialog->fileName();
        if (QFileInfo(name).isFile() && !m_errorConfigs.contains(name))
            m_opened = true;
        if (boxes > 1)
            fail(QStringLiteral("%1 error boxes for one command, %2").arg(boxes).arg(m_what));
        // A New starts with no link and no change, its windows reachable.
        if (!editors) {
            m_opened = true;
            if (Link_Keywords->LinkChange->count() != 0 || Main->N3->isEnabled())
                fail(QStringLiteral("a link or a change is left after: %1").arg(m_what));
        }
    }
    checkInvariants();
}

void Walk::checkInvariants()
{
    // A file changes, or a file comes, only through a Save confirmed at its preview: the files
    // it listed and their .bak files, and never a temporary file left behind.
    std::map<QString, QByteArray> disk = filesOnDisk();
    for (const auto &[path, bytes] : disk)
        if ((!m_disk.count(path) || m_disk[path] != bytes) && !m_mayWrite.contains(path))
            fail(QStringLiteral("%1 was written without a confirmed save, after: %2")
                         .arg(path, m_what));
    if (disk.size() < m_disk.size())
        fail(QStringLiteral("a file is gone, after: %1").arg(m_what));
    m_disk = std::move(disk);
    m_mayWrite.clear();

    if (QWidget *m = QApplication::activeModalWidget())
        fail(QStringLiteral("%1 stays modal after: %2").arg(m->objectName(), m_what));
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible() && (w->isModal() || !w->isEnabled()))
            fail(QStringLiteral("%1 blocks after: %2").arg(w->objectName(), m_what));
    const int links = Link_Keywords->LinkChange->count();
    const int records = Link_Keywords->LinksStringGrid.columnCount() - 1;
    if (links != records)
        fail(QStringLiteral("%1 links listed for %2 records after: %3")
                     .arg(links).arg(records).arg(m_what));
    // Each entry names its own record, also after links were added, copied, renamed, removed.
    for (int k = 0; k < links; ++k)
        if (Link_Keywords->LinkChange->itemText(k) != vog::document().linkName(k + 1))
            fail(QStringLiteral("entry %1 lists %2 for the record of %3 after: %4")
                         .arg(k)
                         .arg(Link_Keywords->LinkChange->itemText(k),
                              vog::document().linkName(k + 1), m_what));
    // The picked area's fields show what the document holds of it.
    if (const int area = Area_Definition->pickedArea(); area >= 0) {
        const vog::AreaState s = vog::document().areas().state(area);
        if (Area_Definition->AreaTag->text() != s.tag
            || Area_Definition->AreaDescription->text() != s.fields[vog::Description]
            || vog::splitAreaWords(Area_Definition->AreaOptions->text()) != s.options
            || Area_Definition->AreaLinks->count() != int(s.links.size()))
            fail(QStringLiteral("area %1 shows other than the document holds, after: %2")
                         .arg(area).arg(m_what));
    }
    if (Area_Definition->model()->rowCount() > vog::document().areas().count())
        fail(QStringLiteral("more area rows than areas, after: %1").arg(m_what));
    if (Main->N3->isEnabled() != vog::document().hasChanges())
        fail(QStringLiteral("Save is %1 with changes %2, after: %3")
                     .arg(Main->N3->isEnabled()).arg(vog::document().hasChanges()).arg(m_what));
    if (m_opened && !Main->N6->menuAction()->isEnabled())
        fail(QStringLiteral("the Configurator menu is off after a file was opened, after: %1")
                     .arg(m_what));
}

// The offscreen platform's notes on what it can't do are no findings; anything else Qt says is
// printed with the step that made it say so.
void onMessage(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (message.startsWith(QLatin1String("This plugin does not support")))
        return;
    std::fprintf(stderr, "monkey step %ld: %s\n", g_step.load(), qPrintable(message));
    if (type == QtFatalMsg)
        std::abort();
}

extern "C" void onSignal(int signal)
{
    sayWhere(signal == SIGABRT ? "aborted" : "crashed");
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QStringList args = app.arguments();
    const auto option = [&](const char *name, qint64 fallback) {
        const int i = args.indexOf(QLatin1String(name));
        return i > 0 && i + 1 < args.size() ? args.at(i + 1).toLongLong() : fallback;
    };
    g_seed = quint32(option("--seed", 1));
    const qint64 seconds = option("--seconds", args.contains("--steps") ? 0 : 3);
    const qint64 steps = option("--steps", 0);
    const bool verbose = args.contains(QStringLiteral("--verbose"));
    qInstallMessageHandler(onMessage);
    std::signal(SIGABRT, onSignal);
    std::signal(SIGSEGV, onSignal);
#ifdef VOG_DEATH_CALLBACK
    __sanitizer_set_death_callback([] { sayWhere("sanitizer report"); });
#endif
    // Never hang: a step that makes no progress for a minute ends the run.
    g_lastProgress = nowMs();
    std::thread([] {
        for (;;) {
            std::this_thread::sleep_for(std::chrono::seconds(1));
            if (nowMs() - g_lastProgress > 60000) {
                sayWhere("no progress for a minute");
                std::_Exit(3);
            }
        }
    }).detach();

    createWindows();
    Main->show();
    {
        Walk walk(g_seed, verbose);
        QTimer answers;
        QObject::connect(&answers, &QTimer::timeout, &walk, &Walk::answerModal);
        answers.start(5);
        QElapsedTimer clock;
        clock.start();
        for (long i = 0; (!steps || i < steps) && (!seconds || clock.elapsed() < seconds * 1000);
             ++i) {
            g_step = i;
            g_lastProgress = nowMs();
            walk.step();
        }
        std::printf("monkey: seed %u, %ld steps, %d error boxes, clean\n", g_seed,
                    g_step.load() + 1, walk.errorBoxes());
    }
    destroyWindows();
    return 0;
}
