#include "TFiles_and_Paths.h"

#include "Pickers.h"
#include "shell/BrowseButton.h"
#include "shell/FileOpenDialog.h"
#include "shell/RowForm.h"
#include "shell/TextField.h"

#include <utility>

namespace {
constexpr int Long = 555;
constexpr int Radio = 553;
constexpr int IncludeWidth = 537; // leaves room for the "+" beside it
constexpr int Max100k = 100000;
} // namespace

TFiles_and_Paths::TFiles_and_Paths(QWidget *parent)
    : vog::EditorWindow(QStringLiteral("Files_and_Paths"), QStringLiteral("Files and Paths"),
                        QRect(64, 8, 716, 565), 136, 8, parent)
{
    vog::RowForm &f = *form();
    // clang-format off
    f.number(FIELD(AdvisoryLock),          29, Max100k);
    f.text  (FIELD(AreafixHelp),           36, Long);
    f.button(FIELD(AreafixHelpButton));
    f.number(FIELD(AreasMaxDupeAge),       29, Max100k);
    f.radio (FIELD(DupeBaseType),          {"TextDupes", "HashDupes", "HashDupesWMsgId",
                                            "CommonDupeBase"}, 4, Radio);
    f.text  (FIELD(DupeHistoryDir),        36, Long);
    f.button(FIELD(DupeHistoryDirButton));
    f.text  (FIELD(EchoTossLog),           36, Long);
    f.button(FIELD(EchoTossLogButton));
    f.text  (FIELD(FileBoxesDir),          36, Long);
    f.button(FIELD(FileBoxesDirButton));
    f.text  (FIELD(VogPerlFile),           36, Long);
    f.button(FIELD(VogPerlFileButton));
    f.text  (FIELD(ImportLog),             36, Long);
    f.button(FIELD(ImportLogButton));
    f.text  (FIELD(Inbound),               36, Long);
    f.button(FIELD(InboundButton));
    f.lines (FIELD(Include),               4, IncludeWidth, true);
    f.button(FIELD(IncludeButton),         QStringLiteral("+"));
    f.text  (FIELD(Intab),                 36, Long);
    f.button(FIELD(IntabButton));
    f.text  (FIELD(LocalInbound),          36, Long);
    f.button(FIELD(LocalInboundButton));
    f.text  (FIELD(LockFile),              36, Long);
    f.button(FIELD(LockFileButton));
    f.text  (FIELD(LogFileDir),            36, Long);
    f.button(FIELD(LogFileDirButton));
    f.number(FIELD(MinDiskFreeSpace),      29, Max100k);
    f.text  (FIELD(MsgBaseDir),            36, Long);
    f.button(FIELD(MsgBaseDirButton));
    f.text  (FIELD(NotValidFileNameChars), 36, Long);
    f.text  (FIELD(Outbound),              36, Long);
    f.button(FIELD(OutboundButton));
    f.text  (FIELD(Outtab),                36, Long);
    f.button(FIELD(OuttabButton));
    f.text  (FIELD(ProtInbound),           36, Long);
    f.button(FIELD(ProtInboundButton));
    f.text  (FIELD(RulesDir),              36, Long);
    f.button(FIELD(RulesDirButton));
    f.text  (FIELD(StatLog),               36, Long);
    f.button(FIELD(StatLogButton));
    f.text  (FIELD(TempInbound),           36, Long);
    f.button(FIELD(TempInboundButton));
    f.text  (FIELD(TempOutbound),          36, Long);
    f.button(FIELD(TempOutboundButton));
    // clang-format on
    f.relayout();

    // Focus runs down the rows, each field followed by its button.
    QList<QWidget *> order;
    for (QWidget *field : f.fields()) {
        order.append(field);
        if (auto *button = findChild<vog::BrowseButton *>(field->objectName()
                                                          + QStringLiteral("Button")))
            order.append(button);
    }
    vog::RowForm::chainFocus(order);

    OpenFileDialog = new vog::FileOpenDialog(QStringLiteral("OpenFileDialog"), this);

    connectBrowseButtons();
}

// clang-format off
void TFiles_and_Paths::AreafixHelpButtonClick()    { vog::pickFile(OpenFileDialog, AreafixHelp); }
void TFiles_and_Paths::EchoTossLogButtonClick()    { vog::pickFile(OpenFileDialog, EchoTossLog); }
void TFiles_and_Paths::VogPerlFileButtonClick()    { vog::pickFile(OpenFileDialog, VogPerlFile); }
void TFiles_and_Paths::ImportLogButtonClick()      { vog::pickFile(OpenFileDialog, ImportLog); }
void TFiles_and_Paths::IntabButtonClick()          { vog::pickFile(OpenFileDialog, Intab); }
void TFiles_and_Paths::LockFileButtonClick()       { vog::pickFile(OpenFileDialog, LockFile); }
void TFiles_and_Paths::OuttabButtonClick()         { vog::pickFile(OpenFileDialog, Outtab); }
void TFiles_and_Paths::StatLogButtonClick()        { vog::pickFile(OpenFileDialog, StatLog); }

void TFiles_and_Paths::DupeHistoryDirButtonClick() { vog::pickDirectory(DupeHistoryDir); }
void TFiles_and_Paths::FileBoxesDirButtonClick()   { vog::pickDirectory(FileBoxesDir); }
void TFiles_and_Paths::InboundButtonClick()        { vog::pickDirectory(Inbound); }
void TFiles_and_Paths::LocalInboundButtonClick()   { vog::pickDirectory(LocalInbound); }
void TFiles_and_Paths::LogFileDirButtonClick()     { vog::pickDirectory(LogFileDir); }
void TFiles_and_Paths::MsgBaseDirButtonClick()     { vog::pickDirectory(MsgBaseDir); }
void TFiles_and_Paths::OutboundButtonClick()       { vog::pickDirectory(Outbound); }
void TFiles_and_Paths::ProtInboundButtonClick()    { vog::pickDirectory(ProtInbound); }
void TFiles_and_Paths::RulesDirButtonClick()       { vog::pickDirectory(RulesDir); }
void TFiles_and_Paths::TempInboundButtonClick()    { vog::pickDirectory(TempInbound); }
void TFiles_and_Paths::TempOutboundButtonClick()   { vog::pickDirectory(TempOutbound); }

void TFiles_and_Paths::IncludeButtonClick()        { vog::appendPickedFile(OpenFileDialog, Include); }
// clang-format on
