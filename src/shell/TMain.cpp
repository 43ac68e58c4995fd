#include "TMain.h"

#include "CommandLine.h"
#include "ErrorBox.h"
#include "FileDrop.h"
#include "OpenCommand.h"
#include "QuickFind.h"
#include "SaveCommand.h"
#include "document/ConfigDocument.h"
#include "document/DocumentRead.h"
#include "editors/DocumentView.h"
#include "editors/TFiles_and_Paths.h"
#include "editors/Windows.h"
#include "fields/FileOpenDialog.h"
#include "fields/LineList.h"
#include "fields/ScreenFit.h"
#include "fields/SharedFont.h"

#include "reader/LineGrammar.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QStatusBar>

#include <optional>

namespace {

QAction *namedAction(QAction *action, const char *name, bool enabled = true)
{
    action->setObjectName(QString::fromLatin1(name));
    action->setEnabled(enabled);
    return action;
}

} // namespace

TMain::TMain(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Main"));
    setWindowTitle(QStringLiteral("Vog config"));
    setFont(vog::sharedFont());
    move(195, 98);
    resize(544, 375);

    MainMenu = menuBar();
    MainMenu->setObjectName(QStringLiteral("MainMenu"));

    N1 = MainMenu->addMenu(QStringLiteral("&Файл"));
    N1->setObjectName(QStringLiteral("N1"));
    N5 = namedAction(N1->addAction(QStringLiteral("Со&здать")), "N5");
    N2 = namedAction(N1->addAction(QStringLiteral("&Открыть")), "N2");
    N3 = namedAction(N1->addAction(QStringLiteral("&Сохранить")), "N3", false);
    N3->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    // Changes are made in the editor windows: Ctrl+S saves from any of them.
    N3->setShortcutContext(Qt::ApplicationShortcut);
    ModuleMenu = N1->addMenu(QStringLiteral("&Module"));
    ModuleMenu->setObjectName(QStringLiteral("ModuleMenu"));
    connect(ModuleMenu, &QMenu::aboutToShow, this, &TMain::fillModuleMenu);
    fillModuleMenu();

    N6 = MainMenu->addMenu(QStringLiteral("&Конфигурятор"));
    N6->setObjectName(QStringLiteral("N6"));
    addWindowItems();

    N4 = namedAction(MainMenu->addAction(QStringLiteral("О &программе")), "N4");
    QuickFindAction = namedAction(new QAction(QStringLiteral("Quick find"), this),
                                  "QuickFindAction", false);
    QuickFindAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    addAction(QuickFindAction);

    // The client area scrolls where the screen is smaller than the window.
    QScrollArea *scroll = vog::scrollingArea(this);
    QWidget *client = scroll->widget();
    setCentralWidget(scroll);
    CodepageLabel = new QLabel(this);
    CodepageLabel->setObjectName(QStringLiteral("CodepageLabel"));
    statusBar()->addWidget(CodepageLabel);
    SaveStatus = new QLabel(this);
    SaveStatus->setObjectName(QStringLiteral("SaveStatus"));
    statusBar()->addWidget(SaveStatus);
    ModuleStatus = new QLabel(this);
    ModuleStatus->setObjectName(QStringLiteral("ModuleStatus"));
    statusBar()->addWidget(ModuleStatus);
    Memo1 = new QPlainTextEdit(client);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(16, 22, 457, 255);
    client->setMinimumSize(Memo1->geometry().right() + 16, Memo1->geometry().bottom() + 16);
    Memo1->setAccessibleName(QStringLiteral("Notes"));
    Memo1->setPlainText(QStringLiteral("Шо еще сделать:\n"
                                       "- Прикрутить инклуды\n"
                                       "- Прикрутить   \"3.3.34 LinkDefaults\" "));

    OpenDialog = new vog::FileOpenDialog(QStringLiteral("OpenDialog"), this);
    NewDialog = new vog::FileOpenDialog(QStringLiteral("NewDialog"), this,
                                        vog::FileOpenDialog::Purpose::NewFile);

    // Files dropped anywhere on the window open, on the memo too, where text still drops.
    auto open = [this](const QString &fileName) { openFile(fileName); };
    new vog::FileDrop(this, open);
    new vog::FileDrop(Memo1->viewport(), open);

    connect(N2, &QAction::triggered, this, &TMain::N2Click);
    connect(N3, &QAction::triggered, this, &TMain::N3Click);
    connect(N5, &QAction::triggered, this, &TMain::N5Click);

    vog::document().setChangeHandler([this] { documentChanged(); });

    FormCreate();
}

void TMain::addWindowItems()
{
    // An item for each window of the window table; greyed where its window is still to come.
    for (const vog::WindowRow &row : vog::windowRows()) {
        if (!row.menuItem)
            continue;
        QAction *item = namedAction(N6->addAction(QString::fromLatin1(row.caption)),
                                    row.menuItem, row.objectName != nullptr);
        if (row.objectName)
            connect(item, &QAction::triggered, this, [&row] { vog::showWindow(row); });
    }
    const auto item = [this](const char *name) {
        return N6->findChild<QAction *>(QLatin1String(name));
    };
    GeneralKeywords1 = item("GeneralKeywords1");
    FilesandPaths1 = item("FilesandPaths1");
    LinkKeywords1 = item("LinkKeywords1");
    AreafixKeywords1 = item("AreafixKeywords1");
    AreaDefinition1 = item("AreaDefinition1");
    CarbonCopy1 = item("CarbonCopy1");
}

TMain::~TMain()
{
    vog::document().setChangeHandler(nullptr);
}

void TMain::makeEditorWindows()
{
    if (vog::windowRows().front().instance())
        return;
    for (const vog::WindowRow &row : vog::windowRows())
        if (row.create)
            row.create(&vog::showError);
    // A new set of windows shows a new document.
    vog::document().clear();
    connect(Files_and_Paths->OpenIncludedFile, &QAction::triggered, this,
            &TMain::openIncludedFile);
    connect(Files_and_Paths->OpenAllIncludedFiles, &QAction::triggered, this,
            &TMain::openAllIncludedFiles);
    new vog::QuickFind(this, QuickFindAction, N6->menuAction());
}

void TMain::destroyEditorWindows()
{
    vog::document().clear();
    // It answers the windows' Ctrl+F: the next set makes its own.
    delete findChild<vog::QuickFind *>();
    const std::vector<vog::WindowRow> &rows = vog::windowRows();
    for (auto row = rows.rbegin(); row != rows.rend(); ++row)
        if (row->destroy)
            row->destroy();
}

void TMain::FormCreate()
{
    // No editor window can be reached before a file has been opened.
    N6->menuAction()->setEnabled(false);
}

namespace {

// Ends the edit in the focused field before a command, as vog::finishEditing() does, and gives
// the field. An error that ending it shows (a link typed into the list, loaded as the list
// loses the focus, whose number doesn't convert) ends the command: the user meets one box at
// a time, the focus goes back to the field, and nothing is given.
std::optional<QPointer<QWidget>> finishBefore()
{
    const int shown = vog::errorBoxesShown();
    QPointer<QWidget> field = vog::finishEditing();
    if (vog::errorBoxesShown() == shown)
        return field;
    if (field)
        field->setFocus();
    return std::nullopt;
}

} // namespace

void TMain::N2Click()
{
    if (!finishBefore())
        return;
    OpenDialog->execute();
    openFile(OpenDialog->fileName());
}

void TMain::openFile(const QString &fileName, bool isMain, const vog::Origin &from)
{
    // Built after the main window's first frame; the Open writes into them.
    makeEditorWindows();
    OpenDialog->setFileName(fileName);
    const bool again = vog::wasRead(QFileInfo(fileName).absoluteFilePath());
    vog::guarded([this, &fileName, isMain, &from] {
        vog::openFile(fileName, [this] { fileOpened(); }, isMain, from);
    });
    vog::showChanges(again);
    documentChanged();
    showCodepage();
    showModuleStatus();
}

void TMain::fillModuleMenu()
{
    ModuleMenu->clear();
    auto *group = new QActionGroup(ModuleMenu);
    QByteArrayList names = vog::document().modules();
    if (!vog::chosenModule().isEmpty() && !names.contains(vog::chosenModule()))
        names.prepend(vog::chosenModule());
    names.prepend(QByteArray());
    for (const QByteArray &name : names) {
        const QString text = QString::fromUtf8(name);
        QAction *item = ModuleMenu->addAction(text.isEmpty() ? QStringLiteral("(none)") : text);
        item->setObjectName(QStringLiteral("Module_") + (text.isEmpty() ? QStringLiteral("none") : text));
        item->setCheckable(true);
        item->setChecked(name == vog::chosenModule());
        group->addAction(item);
        connect(item, &QAction::triggered, this, [this, text] { chooseModule(text); });
    }
}

void TMain::chooseModule(const QString &name)
{
    if (name.toUtf8() == vog::chosenModule())
        return;
    const int boxes = vog::errorBoxesShown();
    if (!mayClose() || vog::errorBoxesShown() != boxes) {
        fillModuleMenu(); // the check mark back on the module in use
        return;
    }
    vog::chooseModule(name.toUtf8());
    vog::rememberModule(name);
    const int main = vog::document().mainFile();
    if (main < 0 || !vog::sourceFile(main).onDisk) {
        fillModuleMenu();
        return;
    }
    const QString path = vog::sourceFile(main).path;
    const bool included = vog::sourceFileCount() - 1 > main;
    // The windows stay, and follow the document as it is read again.
    vog::document().clear();
    vog::showDocument();
    openFile(path);
    if (included)
        openAllIncludedFiles();
    fillModuleMenu();
}

void TMain::showModuleStatus()
{
    const vog::ConfigDocument::ModuleLines lines = vog::document().moduleLines();
    if (lines.file < 0 || !vog::chosenModule().isEmpty()) {
        ModuleStatus->clear();
        return;
    }
    ModuleStatus->setText(QStringLiteral("No module chosen: lines %1-%2 of %3 depend on [module]")
                                  .arg(lines.from)
                                  .arg(lines.to)
                                  .arg(QFileInfo(vog::sourceFile(lines.file).path).fileName()));
}

void TMain::fileOpened()
{
    N6->menuAction()->setEnabled(true);
}

void TMain::showCodepage(int filesRead)
{
    // Known once a file has been read to its end, or to the line that stopped it.
    const vog::OpenCommand::Summary read = vog::OpenCommand::lastRead();
    if (read.codepage.isEmpty())
        return;
    m_statusFile = read.file;
    m_filesRead = filesRead == 1 ? QString()
                                 : QStringLiteral("%1 files read, the last ").arg(filesRead);
    showFileStatus();
}

int TMain::linksIn(int file)
{
    // Counted again only once the links or the file's lines changed: not on every key typed.
    const vog::ConfigDocument &doc = vog::document();
    const vog::SourceFile &source = vog::sourceFile(file);
    const LinkCount now{file, doc.links().columnCount(), source.lines, source.size, 0};
    if (now.file != m_linkCount.file || now.columns != m_linkCount.columns
        || now.lines != m_linkCount.lines || now.size != m_linkCount.size) {
        m_linkCount = now;
        for (int column = 1; column < now.columns; ++column)
            if (const vog::ValueLine *line = doc.linkLine(column); line && line->file == file)
                ++m_linkCount.links;
    }
    return m_linkCount.links;
}

void TMain::showFileStatus()
{
    if (m_statusFile < 0 || m_statusFile >= vog::sourceFileCount())
        return;
    const vog::SourceFile &source = vog::sourceFile(m_statusFile);
    const auto count = [](qint64 n, const char *one, const char *many) {
        return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
    };
    const int links = linksIn(m_statusFile);
    QStringList parts{source.onDisk ? count(source.lines, "line", "lines")
                                    : QStringLiteral("new file")};
    if (source.onDisk || links > 0)
        parts.append(count(links, "link", "links"));
    parts.append(source.codec.name());
    CodepageLabel->setText(m_filesRead + QFileInfo(source.path).fileName() + QStringLiteral(": ")
                           + parts.join(QStringLiteral(", ")));
}

void TMain::openIncludedFile()
{
    // The list names the line the user is on; the document says what it holds.
    const int value = Files_and_Paths->field<vog::LineList>("Include")->valueAtCursor();
    const vog::ConfigDocument::ListLines include =
            vog::document().listLines(*vog::rowNamed("Include"));
    if (value < 0 || value >= include.lines.size())
        return;
    const vog::Origin origin = include.origins[std::size_t(value)];
    QString path;
    vog::guarded([&] { path = vog::includedPath(include.lines[value], origin); });
    if (!path.isEmpty())
        openFile(path, false, origin);
}

void TMain::openAllIncludedFiles()
{
    const vog::ConfigDocument::ListLines include =
            vog::document().listLines(*vog::rowNamed("Include"));
    const int before = vog::sourceFileCount();
    vog::guarded([&] {
        vog::openIncludedFiles(include.lines, include.origins, [this] { fileOpened(); });
    });
    vog::showChanges(false);
    documentChanged();
    showCodepage(vog::sourceFileCount() - before);
    showModuleStatus();
}

void TMain::documentChanged()
{
    const bool changed = vog::document().hasChanges();
    N3->setEnabled(changed);
    markModified(changed);
    SaveStatus->setText(changed ? QStringLiteral("Unsaved changes") : QString());
    showFileStatus();
}

void TMain::markModified(bool on)
{
    if (isWindowModified() == on)
        return;
    // The attribute alone: setWindowModified() wants a "[*]" in the title, which stays "Vog
    // config". Qt looks at the attribute again whenever it makes the window's platform window,
    // and warns then too: so it is set only once that window is made (create() makes it if
    // there is none), and cleared when the window closes, which takes its platform window.
    if (on)
        create();
    setAttribute(Qt::WA_WindowModified, on);
    QEvent modified(QEvent::ModifiedChange);
    QCoreApplication::sendEvent(this, &modified);
}

void TMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    markModified(vog::document().hasChanges());
}

void TMain::N3Click()
{
    const auto field = finishBefore();
    if (!field)
        return;
    if (vog::document().hasChanges())
        save();
    if (*field)
        (*field)->setFocus();
}

bool TMain::save()
{
    // The preview is the active window's: when it closes, that window is active again, not the
    // main window put in front of the window the user saved from.
    QWidget *active = QApplication::activeWindow();
    const QPointer<QWidget> from(active ? active : this);
    int written = -1;
    vog::guarded([&] { written = vog::saveChanges(from); });
    if (from && from->isVisible()) {
        from->raise();
        from->activateWindow();
    }
    if (written < 0)
        return false;
    m_filesRead.clear();
    showFileStatus();
    SaveStatus->setText(written == 1 ? QStringLiteral("Saved 1 file")
                                     : QStringLiteral("Saved %1 files").arg(written));
    return true;
}

bool TMain::mayClose()
{
    const auto field = finishBefore();
    if (!field)
        return false;
    if (!vog::document().hasChanges())
        return true;
    QMessageBox box(QMessageBox::Question, vog::applicationTitle(),
                    QStringLiteral("Save the changes before closing?"),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    box.setObjectName(QStringLiteral("SaveQuestion"));
    box.setInformativeText(QStringLiteral("No file has been written since they were made."));
    box.setDefaultButton(QMessageBox::Save);
    const int answer = box.exec();
    const bool closes = answer == QMessageBox::Discard || (answer == QMessageBox::Save && save());
    if (!closes && *field)
        (*field)->setFocus();
    return closes;
}

void TMain::N5Click()
{
    const QPointer<QWidget> field = QApplication::focusWidget();
    // A new configuration takes the place of this one: its changes are saved or given up first.
    // An error box on the way (the save's, or the link shown loaded again after it) ends the
    // command: the user meets one box at a time.
    const int boxes = vog::errorBoxesShown();
    if (!mayClose() || vog::errorBoxesShown() != boxes)
        return;
    bool started = false;
    if (NewDialog->execute())
        vog::guarded([&] {
            // The windows stay, and follow the document, emptied for the new file.
            const int file = vog::readNewFile(NewDialog->fileName(),
                                              [] { vog::document().clear(); });
            vog::showDocument();
            started = true;
            fileOpened();
            m_statusFile = file;
            m_filesRead.clear();
            documentChanged();
        });
    if (!started && field)
        field->setFocus();
}

// What the menu's items do.
void TMain::GeneralKeywords1Click() { vog::showWindow(*vog::windowWithMenuItem("GeneralKeywords1")); }
void TMain::FilesandPaths1Click() { vog::showWindow(*vog::windowWithMenuItem("FilesandPaths1")); }
void TMain::LinkKeywords1Click() { vog::showWindow(*vog::windowWithMenuItem("LinkKeywords1")); }
void TMain::AreaDefinition1Click() { vog::showWindow(*vog::windowWithMenuItem("AreaDefinition1")); }

void TMain::closeEvent(QCloseEvent *event)
{
    // Closing the main window ends the program, editor windows or not, once the changes are
    // saved or the user gave them up.
    if (!mayClose()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
    if (event->isAccepted()) {
        markModified(false);
        QCoreApplication::quit();
    }
}
