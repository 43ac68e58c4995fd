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
void TFiles_and_Paths::AreafixHelpButtonClick()    { browse("AreafixHelp"); }
void TFiles_and_Paths::EchoTossLogButtonClick()    { browse("EchoTossLog"); }
void TFiles_and_Paths::VogPerlFileButtonClick()    { browse("VogPerlFile"); }
void TFiles_and_Paths::ImportLogButtonClick()      { browse("ImportLog"); }
void TFiles_and_Paths::IntabButtonClick()          { browse("Intab"); }
void TFiles_and_Paths::LockFileButtonClick()       { browse("LockFile"); }
void TFiles_and_Paths::OuttabButtonClick()         { browse("Outtab"); }
void TFiles_and_Paths::StatLogButtonClick()        { browse("StatLog"); }

void TFiles_and_Paths::DupeHistoryDirButtonClick() { browse("DupeHistoryDir"); }
void TFiles_and_Paths::FileBoxesDirButtonClick()   { browse("FileBoxesDir"); }
void TFiles_and_Paths::InboundButtonClick()        { browse("Inbound"); }
void TFiles_and_Paths::LocalInboundButtonClick()   { browse("LocalInbound"); }
void TFiles_and_Paths::LogFileDirButtonClick()     { browse("LogFileDir"); }
void TFiles_and_Paths::MsgBaseDirButtonClick()     { browse("MsgBaseDir"); }
void TFiles_and_Paths::OutboundButtonClick()       { browse("Outbound"); }
void TFiles_and_Paths::ProtInboundButtonClick()    { browse("ProtInbound"); }
void TFiles_and_Paths::RulesDirButtonClick()       { browse("RulesDir"); }
void TFiles_and_Paths::TempInboundButtonClick()    { browse("TempInbound"); }
void TFiles_and_Paths::TempOutboundButtonClick()   { browse("TempOutbound"); }

void TFiles_and_Paths::IncludeButtonClick()        { browse("Include"); }
// clang-format on
