#include "TFiles_and_Paths.h"

TFiles_and_Paths::TFiles_and_Paths(QWidget *parent)
    : vog::EditorWindow(QStringLiteral("Files_and_Paths"), QStringLiteral("Files and Paths"),
                        QRect(64, 8, 716, 565), vog::Place::FilesAndPaths, {136, 8, 555, 553},
                        parent)
{
    // Focus runs down the rows, each field followed by its button.
    vog::RowForm::chainFocus(form()->fieldsWithButtons());
    connectBrowseButtons();
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
