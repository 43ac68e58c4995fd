#include "TGeneral_Keywords.h"

#include "Pickers.h"
#include "reader/KeywordTable.h"
#include "shell/BrowseButton.h"
#include "shell/FileOpenDialog.h"
#include "shell/RowForm.h"
#include "shell/TextField.h"

namespace {
constexpr int Short = 121;
constexpr int Long = 555;
constexpr int Radio = 553;
constexpr int Max100k = 100000;
constexpr int Max1M = 1000000;

QStringList flagWords()
{
    QStringList words;
    for (const vog::FlagWord &f : vog::areafixKillReportsFlags())
        words.append(QString::fromLatin1(f.word));
    return words;
}
} // namespace

TGeneral_Keywords::TGeneral_Keywords(QWidget *parent)
    : vog::EditorWindow(QStringLiteral("General_Keywords"), QStringLiteral("General Keywords"),
                        QRect(47, 47, 717, 571), 136, 8, parent)
{
    vog::RowForm &f = *form();
    // clang-format off
    f.text      (FIELD(AddToSeen),             43, Short);
    f.text      (FIELD(Address),               48, Short);
    f.text      (FIELD(AfterUnpack),           39, Long);
    f.onOff     (FIELD(AreafixFromPkt),        29);
    f.onOff     (FIELD(AreafixKillRequests),   24);
    f.number    (FIELD(AreafixMsgSize),        29, Max100k);
    f.text      (FIELD(AreafixNames),          32, Long);
    f.text      (FIELD(AreafixFromName),       32, Long);
    f.text      (FIELD(AreafixOrigin),         35, Long);
    f.flags     (FIELD(AreafixKillReports),    flagWords(), QStringLiteral("afkr_"), 7, 56);
    f.text      (FIELD(AreafixSplitStr),       19, Long);
    f.onOff     (FIELD(AreafixQueryReports),   10);
    f.text      (FIELD(AreafixQueueFile),      17, Long);
    f.button    (FIELD(AreafixQueueFileButton));
    f.lowerUpper(FIELD(AreasFileNameCase),     12);
    f.text      (FIELD(AutoAreaCreateFlag),    17, Long);
    f.button    (FIELD(AutoAreaCreateFlagButton));
    f.onOff     (FIELD(AutoPassive),           25);
    f.text      (FIELD(BeforePack),            35, Long);
    f.radio     (FIELD(BundleNameStyle),       {"timeStamp", "addrDiff", "addrsCRC32",
                                                "addrDiffAlways", "addrsCRC32Always", "Amiga"}, 3, Radio);
    f.lowerUpper(FIELD(CreateAreasCase),       25);
    f.onOff     (FIELD(CreateFwdNonPass),      12);
    f.number    (FIELD(DefArcmailSize),        29, Max1M);
    f.onOff     (FIELD(DisableTID),            37);
    f.onOff     (FIELD(DisablePID),            37);
    f.number    (FIELD(ForwardRequestTimeout), 13, Max1M);
    f.number    (FIELD(IdlePassthruTimeout),   13, Max1M);
    f.onOff     (FIELD(IgnoreCapWord),         37);
    f.text      (FIELD(IgnoreSeen),            43, Short);
    f.onOff     (FIELD(KeepTrsFiles),          37);
    f.onOff     (FIELD(KeepTrsMail),           37);
    f.number    (FIELD(KilledRequestTimeout),  13, Max1M);
    f.radio     (FIELD(KludgeAreaNetmail),     {"kill", "ignore", "echomail"}, 3, Radio);
    f.radio     (FIELD(LinkWithImportLog),     {"yes", "no", "kill"}, 3, Radio);
    f.onOff     (FIELD(LogEchoToScreen),       37);
    f.text      (FIELD(LogLevels),             35, Long);
    f.text      (FIELD(Name),                  35, Long);
    f.text      (FIELD(NetmailFlag),           35, Long);
    f.button    (FIELD(NetmailFlagButton));
    f.text      (FIELD(NewAreaRefuseFile),     35, Long);
    f.button    (FIELD(NewAreaRefuseFileButton));
    f.onOff     (FIELD(NoProcessBundles),      37);
    f.text      (FIELD(Origin),                35, Long);
    f.lines     (FIELD(Pack),                  8, Long, false);
    f.onOff     (FIELD(PackNetMailOnScan),     37);
    f.text      (FIELD(ProcessPkt),            35, Long);
    f.text      (FIELD(PublicGroup),           35, Long);
    f.lines     (FIELD(Remap),                 4, Long, false);
    f.text      (FIELD(ReportTo),              35, Long);
    f.text      (FIELD(RobotsArea),            35, Long);
    f.lines     (FIELD(Route),                 4, Long, false);
    f.lines     (FIELD(RouteFile),             4, Long, false);
    f.lines     (FIELD(RouteMail),             4, Long, false);
    f.text      (FIELD(ScreenLogLevels),       35, Long);
    f.onOff     (FIELD(SeparateBundles),       37);
    f.onOff     (FIELD(SetConsoleTitle),       37);
    f.text      (FIELD(Sysop),                 35, Short);
    f.text      (FIELD(TearLine),              35, Long);
    f.text      (FIELD(TossingExt),            35, Long);
    f.lines     (FIELD(Unpack),                4, Long, false);
    // clang-format on
    f.relayout();

    // Focus runs down the rows, except that AreafixFromName comes after Unpack; the browse
    // buttons follow.
    QList<QWidget *> order = f.fields();
    order.removeOne(AreafixFromName);
    order.append(AreafixFromName);
    order.append(f.buttons());
    vog::RowForm::chainFocus(order);

    OpenFileDialog = new vog::FileOpenDialog(QStringLiteral("OpenFileDialog"), this);
    connectBrowseButtons();
}

void TGeneral_Keywords::AreafixQueueFileButtonClick()
{
    vog::pickFile(OpenFileDialog, AreafixQueueFile);
}

void TGeneral_Keywords::AutoAreaCreateFlagButtonClick()
{
    vog::pickFile(OpenFileDialog, AutoAreaCreateFlag);
}

void TGeneral_Keywords::NetmailFlagButtonClick()
{
    vog::pickFile(OpenFileDialog, NetmailFlag);
}

void TGeneral_Keywords::NewAreaRefuseFileButtonClick()
{
    vog::pickFile(OpenFileDialog, NewAreaRefuseFile);
}
