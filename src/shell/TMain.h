#pragma once

#include "reader/SourceFiles.h"

#include <QMainWindow>

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QPlainTextEdit;

namespace vog {
class FileOpenDialog;
}

// The main window: the menu, the note memo and the two file dialogs.
class TMain : public QMainWindow
{
    Q_OBJECT
public:
    explicit TMain(QWidget *parent = nullptr);
    ~TMain() override;

    // The windows of the window table, each hidden and every field in its initial state, over
    // a new document, with the quick find that answers their Ctrl+F; made unless they exist.
    void makeEditorWindows();
    // Destroys them again, last made first, and empties the document.
    void destroyEditorWindows();

    // File > Open after the dialog, with this name: the name given on the command line or
    // dropped on the window. OpenDialog keeps it as its last name.
    // A file read through an include line is no main file: see vog::openFile.
    void openFile(const QString &fileName, bool isMain = true, const vog::Origin &from = {});
    // The codepage of the file opened last, on the status line.
    QLabel *CodepageLabel;
    // Beside it: "Unsaved changes" while there are, "Saved 2 files" after a save.
    QLabel *SaveStatus;
    // "No module chosen: ..." while the files read depend on [module] and none is chosen.
    QLabel *ModuleStatus;

    QMenuBar *MainMenu;
    QMenu *N1;                 // File
    QAction *N5;               // File > New
    QAction *N2;               // File > Open
    QAction *N3;               // File > Save
    QMenu *ModuleMenu;         // File > Module: what [module] stands for, "(none)" or a name
                               // that the files compare it with
    QMenu *N6;                 // Configurator
    QAction *GeneralKeywords1;
    QAction *FilesandPaths1;
    QAction *LinkKeywords1;
    QAction *AreafixKeywords1;
    QAction *AreaDefinition1;
    QAction *CarbonCopy1;
    QAction *N4;               // About
    QAction *QuickFindAction;  // Ctrl+F: the quick find, enabled with the Configurator
    QPlainTextEdit *Memo1;
    vog::FileOpenDialog *OpenDialog;
    vog::FileOpenDialog *NewDialog;

public slots:
    void FormCreate();
    void N2Click();
    // File > Save: the preview of what changes, then the safe write (shell/SaveCommand.h).
    void N3Click();
    void N5Click();
    void GeneralKeywords1Click();
    void FilesandPaths1Click();
    void LinkKeywords1Click();
    void AreaDefinition1Click();
    // The two commands of the list of included files (Files and Paths).
    void openIncludedFile();
    void openAllIncludedFiles();
    // File > Module: reads the files again as the tosser's module NAME reads them (empty for
    // none), after the close question when there are unsaved changes; remembered for the next
    // start.
    void chooseModule(const QString &name);

private:
    // The Configurator menu's items, from the window table.
    void addWindowItems();
    void fileOpened();
    // After a command that read files: the status line names the file read last, and how many
    // files the command read when it was not one.
    void showCodepage(int filesRead = 1);
    // The status line's file as the document now has it: its lines, its links and codepage;
    // after every change, link edit and save.
    void showFileStatus();
    // The links whose sections stand in a file.
    int linksIn(int file);
    // The file the status line names, and the count of files the command before read.
    int m_statusFile = -1;
    QString m_filesRead;
    struct LinkCount
    {
        int file = -1;
        int columns = 0;
        qint64 lines = 0;
        qint64 size = 0;
        int links = 0;
    } m_linkCount;
    // The Module menu's items, from what the files read compare [module] with.
    void fillModuleMenu();
    // The status line's word on a configuration that depends on [module] with none chosen.
    void showModuleStatus();
    // The document's changes made or dropped: Save enabled and the window marked modified
    // exactly while there are some.
    void documentChanged();
    // The window's modified mark, without one in its title.
    void markModified(bool on);
    // Saves through the preview; whether the changes were written.
    bool save();
    // The question before the window closes with unsaved changes: whether it may close.
    bool mayClose();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
};
