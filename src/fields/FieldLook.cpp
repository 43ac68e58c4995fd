#include "FieldLook.h"

#include <QtGlobal>

#include <utility>
#include <vector>

namespace vog {

namespace {

constexpr Width Short = Width::Short;
constexpr Width LongLessOne = Width::LongLessOne;

FieldLook dots(int dots, Width width = Width::Long)
{
    FieldLook look;
    look.dots = dots;
    look.width = width;
    return look;
}
FieldLook lines(int visible, bool scrollBar = false)
{
    FieldLook look;
    look.visibleLines = visible;
    look.scrollBar = scrollBar;
    return look;
}
FieldLook radio(int columns)
{
    FieldLook look;
    look.columns = columns;
    return look;
}
FieldLook flags(int perLine, int step)
{
    FieldLook look;
    look.columns = perLine;
    look.step = step;
    return look;
}

// clang-format off
const std::pair<const char *, FieldLook> Looks[] = {
    // General Keywords
    {"AddToSeen",             dots(43, Short)},
    {"Address",               dots(48, Short)},
    {"AfterUnpack",           dots(39)},
    {"AreafixFromPkt",        dots(29)},
    {"AreafixKillRequests",   dots(24)},
    {"AreafixMsgSize",        dots(29)},
    {"AreafixNames",          dots(32)},
    {"AreafixFromName",       dots(32)},
    {"AreafixOrigin",         dots(35)},
    {"AreafixKillReports",    flags(7, 56)},
    {"AreafixSplitStr",       dots(19)},
    {"AreafixQueryReports",   dots(10)},
    {"AreafixQueueFile",      dots(17)},
    {"AreasFileNameCase",     dots(12)},
    {"AutoAreaCreateFlag",    dots(17)},
    {"AutoPassive",           dots(25)},
    {"BeforePack",            dots(35)},
    {"BundleNameStyle",       radio(3)},
    {"CreateAreasCase",       dots(25)},
    {"CreateFwdNonPass",      dots(12)},
    {"DefArcmailSize",        dots(29)},
    {"DisableTID",            dots(37)},
    {"DisablePID",            dots(37)},
    {"ForwardRequestTimeout", dots(13)},
    {"IdlePassthruTimeout",   dots(13)},
    {"IgnoreCapWord",         dots(37)},
    {"IgnoreSeen",            dots(43, Short)},
    {"KeepTrsFiles",          dots(37)},
    {"KeepTrsMail",           dots(37)},
    {"KilledRequestTimeout",  dots(13)},
    {"KludgeAreaNetmail",     radio(3)},
    {"LinkWithImportLog",     radio(3)},
    {"LogEchoToScreen",       dots(37)},
    {"LogLevels",             dots(35)},
    {"Name",                  dots(35)},
    {"NetmailFlag",           dots(35)},
    {"NewAreaRefuseFile",     dots(35)},
    {"NoProcessBundles",      dots(37)},
    {"Origin",                dots(35)},
    {"Pack",                  lines(8)},
    {"PackNetMailOnScan",     dots(37)},
    {"ProcessPkt",            dots(35)},
    {"PublicGroup",           dots(35)},
    {"Remap",                 lines(4)},
    {"ReportTo",              dots(35)},
    {"RobotsArea",            dots(35)},
    {"Route",                 lines(4)},
    {"RouteFile",             lines(4)},
    {"RouteMail",             lines(4)},
    {"ScreenLogLevels",       dots(35)},
    {"SeparateBundles",       dots(37)},
    {"SetConsoleTitle",       dots(37)},
    {"Sysop",                 dots(35, Short)},
    {"TearLine",              dots(35)},
    {"TossingExt",            dots(35)},
    {"Unpack",                lines(4)},

    // Files and Paths
    {"AdvisoryLock",          dots(29)},
    {"AreafixHelp",           dots(36)},
    {"AreasMaxDupeAge",       dots(29)},
    {"DupeBaseType",          radio(4)},
    {"DupeHistoryDir",        dots(36)},
    {"EchoTossLog",           dots(36)},
    {"FileBoxesDir",          dots(36)},
    {"VogPerlFile",           dots(36)},
    {"ImportLog",             dots(36)},
    {"Inbound",               dots(36)},
    {"Include",               lines(4, true)},
    {"Intab",                 dots(36)},
    {"LocalInbound",          dots(36)},
    {"LockFile",              dots(36)},
    {"LogFileDir",            dots(36)},
    {"MinDiskFreeSpace",      dots(29)},
    {"MsgBaseDir",            dots(36)},
    {"NotValidFileNameChars", dots(36)},
    {"Outbound",              dots(36)},
    {"Outtab",                dots(36)},
    {"ProtInbound",           dots(36)},
    {"RulesDir",              dots(36)},
    {"StatLog",               dots(36)},
    {"TempInbound",           dots(36)},
    {"TempOutbound",          dots(36)},

    // Link Keywords
    {"AccessGrp",              dots(39)},
    {"AdvancedAreafix",        dots(30)},
    {"Aka",                    dots(57, Short)},
    {"AllowEmptyPktPwd",       radio(3)},
    {"AllowPktAddrDiffer",     dots(29)},
    {"ArcmailSize",            dots(40)},
    {"ArcNetmail",             dots(43)},
    {"Areafix",                dots(50)},
    {"AreafixEchoLimit",       dots(29)},
    {"AreafixPwd",             dots(44, Short)},
    {"AutoAreaCreate",         dots(44)},
    {"AutoAreaCreateFile",     dots(33, LongLessOne)},
    {"AutoAreaCreateDefaults", dots(39)},
    {"AutoAreaCreateSubdirs",  dots(44)},
    {"AutoPause",              dots(42)},
    {"AvailList",              radio(3)},
    {"DenyFwdFile",            dots(35)},
    {"DenyFwdMask",            dots(26)},
    {"DenyFwdReqAccess",       dots(44)},
    {"DenyUncondFwdReqAccess", dots(44)},
    {"EchoMailFlavour",        radio(5)},
    {"Export",                 dots(44)},
    {"ForwardAreaPriority",    dots(29)},
    {"ForwardPkts",            radio(3)},
    {"ForwardRequestFile",     dots(26)},
    {"ForwardRequestMask",     dots(26)},
    {"ForwardRequests",        dots(44)},
    {"FileBox",                dots(45)},
    {"FileBoxAlways",          dots(44)},
    {"Import",                 dots(44)},
    {"Level",                  dots(47)},
    {"LinkBundleNameStyle",    radio(3)},
    {"LinkGrp",                dots(41)},
    {"LinkMsgBaseDir",         dots(45)},
    {"Mandatory",              dots(44)},
    {"Manual",                 dots(44)},
    {"NoRules",                dots(44)},
    {"OptGrp",                 dots(41)},
    {"OurAka",                 dots(44, Short)},
    {"PackAka",                dots(44, Short)},
    {"Packer",                 dots(44, Short)},
    {"Password",               dots(44, Short)},
    {"Pause",                  radio(4)},
    {"PktSize",                dots(47)},
    {"PktPwd",                 dots(44, Short)},
    {"RemoteRobotName",        dots(44, Short)},
};
// clang-format on

// By keyword table index; a shown row without a look stops the program at its first window.
std::vector<FieldLook> byRow()
{
    std::vector<FieldLook> out(keywordTable().size());
    std::vector<bool> found(out.size());
    for (const auto &[name, look] : Looks) {
        const KeywordRow *row = rowNamed(name);
        if (!row)
            qFatal("a screen look for %s, which is no keyword", name);
        out[std::size_t(row->index)] = look;
        found[std::size_t(row->index)] = true;
    }
    for (const KeywordRow &row : keywordTable())
        if (row.shown && !found[std::size_t(row.index)])
            qFatal("no screen look for %s", row.name);
    return out;
}

} // namespace

const FieldLook &fieldLook(const KeywordRow &row)
{
    static const std::vector<FieldLook> looks = byRow();
    return looks.at(std::size_t(row.index));
}

} // namespace vog
