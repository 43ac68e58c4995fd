#include "TFiles_and_Paths.h"

#include "fields/LineList.h"

#include <QAction>
#include <QMenu>

TFiles_and_Paths::TFiles_and_Paths(QWidget *parent)
    : vog::EditorWindow(QStringLiteral("Files_and_Paths"), QStringLiteral("Files and Paths"),
                        QRect(64, 8, 716, 565), vog::Place::FilesAndPaths, {136, 8, 555, 553},
                        parent)
{
    // Focus runs down the rows, each field followed by its button.
    vog::RowForm::chainFocus(form()->fieldsWithButtons());
    connectBrowseButtons();

    OpenIncludedFile = new QAction(QStringLiteral("Open included file"), this);
    OpenIncludedFile->setObjectName(QStringLiteral("OpenIncludedFile"));
    OpenAllIncludedFiles = new QAction(QStringLiteral("Open all included files"), this);
    OpenAllIncludedFiles->setObjectName(QStringLiteral("OpenAllIncludedFiles"));
    // The list's own editing menu, with the two commands below it; the Menu key and Shift+F10
    // open it too.
    auto *list = field<vog::LineList>("Include");
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list, &QWidget::customContextMenuRequested, this, [this, list](const QPoint &at) {
        QMenu *menu = list->createStandardContextMenu(at);
        menu->setObjectName(QStringLiteral("IncludeMenu"));
        menu->addSeparator();
        menu->addAction(OpenIncludedFile);
        menu->addAction(OpenAllIncludedFiles);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(list->viewport()->mapToGlobal(at));
    });
}

// clang-format off
void TFiles_and_Paths::AreafixHelpButtonClick()    { browse(__func__); }
void TFiles_and_Paths::EchoTossLogButtonClick()    { browse(__func__); }
void TFiles_and_Paths::VogPerlFileButtonClick()    { browse(__func__); }
void TFiles_and_Paths::ImportLogButtonClick()      { browse(__func__); }
void TFiles_and_Paths::IntabButtonClick()          { browse(__func__); }
void TFiles_and_Paths::LockFileButtonClick()       { browse(__func__); }
void TFiles_and_Paths::OuttabButtonClick()         { browse(__func__); }
void TFiles_and_Paths::StatLogButtonClick()        { browse(__func__); }

void TFiles_and_Paths::DupeHistoryDirButtonClick() { browse(__func__); }
void TFiles_and_Paths::FileBoxesDirButtonClick()   { browse(__func__); }
void TFiles_and_Paths::InboundButtonClick()        { browse(__func__); }
void TFiles_and_Paths::LocalInboundButtonClick()   { browse(__func__); }
void TFiles_and_Paths::LogFileDirButtonClick()     { browse(__func__); }
void TFiles_and_Paths::MsgBaseDirButtonClick()     { browse(__func__); }
void TFiles_and_Paths::OutboundButtonClick()       { browse(__func__); }
void TFiles_and_Paths::ProtInboundButtonClick()    { browse(__func__); }
void TFiles_and_Paths::RulesDirButtonClick()       { browse(__func__); }
void TFiles_and_Paths::TempInboundButtonClick()    { browse(__func__); }
void TFiles_and_Paths::TempOutboundButtonClick()   { browse(__func__); }

void TFiles_and_Paths::IncludeButtonClick()        { browse(__func__); }
// clang-format on
