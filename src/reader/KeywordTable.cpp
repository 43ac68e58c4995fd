#include "KeywordTable.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace vog {

namespace {

using K = ValueKind;
constexpr Target G = Target::General;
constexpr Target F = Target::FilesAndPaths;
constexpr Target L = Target::LinkRecord;

// clang-format off
const RadioRule BundleNameStyleRule{0, {
    {"addrdiff", 1}, {"addrscrc32", 2}, {"addrdiffalways", 3}, {"addrscrc32always", 4}, {"amiga", 5}}};
const RadioRule KludgeAreaNetmailRule{0, {{"ignore", 1}, {"echomail", 2}}};
const RadioRule LinkWithImportLogRule{0, {{"no", 1}, {"kill", 2}}};
const RadioRule DupeBaseTypeRule{2, {
    {"textdupes", 0}, {"hashdupes", 1, "hashdupeswmsgid"}, {"commondupebase", 3}}};

const FlagWords AreafixKillReports{
    {"pvt", "afkr_pvt"},   {"crash", "afkr_crash"}, {"read", "afkr_read"}, {"sent", "afkr_sent"},
    {"att", "afkr_att"},   {"fwd", "afkr_fwd"},     {"orphan", "afkr_orphan"},
    {"k/s", "afkr_k_s"},   {"loc", "afkr_loc"},     {"xx2", "afkr_xx2"},   {"frq", "afkr_frq"},
    {"rrq", "afkr_rrq"},   {"cpt", "afkr_cpt"},     {"arq", "afkr_arq"},
    {"urq", "afkr_urq"},   {"kfs", "afkr_kfs"},     {"tfs", "afkr_tfs"},   {"dir", "afkr_dir"},
    {"imm", "afkr_imm"},   {"cfm", "afkr_cfm"},     {"npd", "afkr_npd"},
};

const std::vector<KeywordEntry> Table{
    // General keywords
    {"addtoseen",              G, "AddToSeen",              K::Text},
    {"address",                G, "Address",                K::Text},
    {"afterunpack",            G, "AfterUnpack",            K::Text},
    {"areafixfrompkt",         G, "AreafixFromPkt",         K::OnOff},
    {"areafixkillrequests",    G, "AreafixKillRequests",    K::OnOff},
    {"areafixmsgsize",         G, "AreafixMsgSize",         K::Number},
    {"areafixnames",           G, "AreafixNames",           K::Text},
    {"areafixfromname",        G, "AreafixFromName",        K::Text},
    {"areafixorigin",          G, "AreafixOrigin",          K::Text},
    {"areafixkillreports",     G, "AreafixKillReports",     K::Flags, 0, nullptr, &AreafixKillReports},
    {"areafixsplitstr",        G, "AreafixSplitStr",        K::Text},
    {"areafixqueryreports",    G, "AreafixQueryReports",    K::OnOff},
    {"areafixqueuefile",       G, "AreafixQueueFile",       K::Text},
    {"areasfilenamecase",      G, "AreasFileNameCase",      K::LowerUpper},
    {"autoareacreateflag",     G, "AutoAreaCreateFlag",     K::Text},
    {"autopassive",            G, "AutoPassive",            K::OnOff},
    {"beforepack",             G, "BeforePack",             K::Text},
    {"bundlenamestyle",        G, "BundleNameStyle",        K::Radio, 0, &BundleNameStyleRule},
    {"createareascase",        G, "CreateAreasCase",        K::LowerUpper},
    {"createfwdnonpass",       G, "CreateFwdNonPass",       K::OnOff},
    {"defarcmailsize",         G, "DefArcmailSize",         K::Number},
    {"disabletid",             G, "DisableTID",             K::OnOff},
    {"disablepid",             G, "DisablePID",             K::OnOff},
    {"forwardrequesttimeout",  G, "ForwardRequestTimeout",  K::Number},
    {"idlepassthrutimeout",    G, "IdlePassthruTimeout",    K::Number},
    {"ignorecapword",          G, "IgnoreCapWord",          K::OnOff},
    {"ignoreseen",             G, "IgnoreSeen",             K::Text},
    {"keeptrsfiles",           G, "KeepTrsFiles",           K::OnOff},
    {"keeptrsmail",            G, "KeepTrsMail",            K::OnOff},
    {"killedrequesttimeout",   G, "KilledRequestTimeout",   K::Number},
    {"kludgeareanetmail",      G, "KludgeAreaNetmail",      K::Radio, 0, &KludgeAreaNetmailRule},
    {"linkwithimportlog",      G, "LinkWithImportLog",      K::Radio, 0, &LinkWithImportLogRule},
    {"logechotoscreen",        G, "LogEchoToScreen",        K::OnOff},
    {"loglevels",              G, "LogLevels",              K::Text},
    {"name",                   G, "Name",                   K::Text},
    {"netmailflag",            G, "NetmailFlag",            K::Text},
    {"newarearefusefile",      G, "NewAreaRefuseFile",      K::Text},
    {"noprocessbundles",       G, "NoProcessBundles",       K::OnOff},
    {"origin",                 G, "Origin",                 K::Text},
    {"pack",                   G, "Pack",                   K::LineList},
    {"packnetmailonscan",      G, "PackNetMailOnScan",      K::InvertedOnOff},
    {"processpkt",             G, "ProcessPkt",             K::Text},
    {"publicgroup",            G, "PublicGroup",            K::Text},
    {"remap",                  G, "Remap",                  K::LineList},
    {"reportto",               G, "ReportTo",               K::Text},
    {"robotsarea",             G, "RobotsArea",             K::Text},
    {"route",                  G, "Route",                  K::LineList},
    {"routefile",              G, "RouteFile",              K::LineList},
    {"routemail",              G, "RouteMail",              K::LineList},
    {"screenloglevels",        G, "ScreenLogLevels",        K::Text},
    {"separatebundles",        G, "SeparateBundles",        K::OnOff},
    {"setconsoletitle",        G, "SetConsoleTitle",        K::OnOff},
    {"sysop",                  G, "Sysop",                  K::Text},
    {"tearline",               G, "TearLine",               K::Text},
    {"tossingext",             G, "TossingExt",             K::Text},
    {"unpack",                 G, "Unpack",                 K::LineList},

    // Files and paths keywords
    {"advisorylock",           F, "AdvisoryLock",           K::Number},
    {"areafixhelp",            F, "AreafixHelp",            K::Text},
    {"areasmaxdupeage",        F, "AreasMaxDupeAge",        K::Number},
    {"dupebasetype",           F, "DupeBaseType",           K::Radio, 0, &DupeBaseTypeRule},
    {"dupehistorydir",         F, "DupeHistoryDir",         K::Text},
    {"echotosslog",            F, "EchoTossLog",            K::Text},
    {"fileboxesdir",           F, "FileBoxesDir",           K::Text},
    {"vogperlfile",            F, "VogPerlFile",            K::Text},
    {"importlog",              F, "ImportLog",              K::Text},
    {"inbound",                F, "Inbound",                K::Text},
    {"include",                F, "Include",                K::LineList},
    {"intab",                  F, "Intab",                  K::Text},
    {"localinbound",           F, "LocalInbound",           K::Text},
    {"lockfile",               F, "LockFile",               K::Text},
    {"logfiledir",             F, "LogFileDir",             K::Text},
    {"mindiskfreespace",       F, "MinDiskFreeSpace",       K::Number},
    {"msgbasedir",             F, "MsgBaseDir",             K::Text},
    {"notvalidfilenamechars",  F, "NotValidFileNameChars",  K::Text},
    {"outbound",               F, "Outbound",               K::Text},
    {"outtab",                 F, "Outtab",                 K::Text},
    {"protinbound",            F, "ProtInbound",            K::Text},
    {"rulesdir",               F, "RulesDir",               K::Text},
    {"statlog",                F, "StatLog",                K::Text},
    {"tempinbound",            F, "TempInbound",            K::Text},
    {"tempoutbound",           F, "TempOutbound",           K::Text},

    // Link sections: "link " starts a record, the per-link keywords fill its rows
    {"link",                   L, nullptr,                  K::LinkStart, 32},
    {"accessgrp",              L, "AccessGrp",              K::LinkValue, 1},
    {"advancedareafix",        L, "AdvancedAreafix",        K::LinkValue, 2},
    {"aka",                    L, "Aka",                    K::LinkValue, 3},
    {"allowemptypktpwd",       L, "AllowEmptyPktPwd",       K::LinkValue, 4},
    {"allowpktaddrdiffer",     L, "AllowPktAddrDiffer",     K::LinkValue, 5},
    {"arcmailsize",            L, "ArcmailSize",            K::LinkValue, 6},
    {"arcnetmail",             L, "ArcNetmail",             K::LinkValue, 7},
    {"areafix",                L, "Areafix",                K::LinkValue, 8},
    {"areafixecholimit",       L, "AreafixEchoLimit",       K::LinkValue, 9},
    {"areafixpwd",             L, "AreafixPwd",             K::LinkValue, 10},
    {"autoareacreate",         L, "AutoAreaCreate",         K::LinkValue, 11},
    {"autoareacreatefile",     L, "AutoAreaCreateFile",     K::LinkValue, 12},
    {"autoareacreatedefaults", L, "AutoAreaCreateDefaults", K::LinkValue, 13},
    {"autoareacreatesubdirs",  L, "AutoAreaCreateSubdirs",  K::LinkValue, 14},
    {"autopause",              L, "AutoPause",              K::LinkValue, 15},
    {"availlist",              L, "AvailList",              K::LinkValue, 16},
    {"denyfwdfile",            L, "DenyFwdFile",            K::LinkValue, 17},
    {"denyfwdmask",            L, "DenyFwdMask",            K::LinkValue, 18},
    {"denyfwdreqaccess",       L, "DenyFwdReqAccess",       K::LinkValue, 19},
    {"denyuncondfwdreqaccess", L, "DenyUncondFwdReqAccess", K::LinkValue, 20},
    {"echomailflavour",        L, "EchoMailFlavour",        K::LinkValue, 21},
    {"export",                 L, "Export",                 K::LinkValue, 22},
    {"forwardareapriority",    L, "ForwardAreaPriority",    K::LinkValue, 23},
    {"forwardpkts",            L, "ForwardPkts",            K::LinkValue, 24},
    {"forwardrequestfile",     L, "ForwardRequestFile",     K::LinkValue, 25},
    {"forwardrequestmask",     L, "ForwardRequestMask",     K::LinkValue, 26},
    {"forwardrequests",        L, "ForwardRequests",        K::LinkValue, 27},
    {"filebox",                L, "FileBox",                K::LinkValue, 28},
    {"fileboxalways",          L, "FileBoxAlways",          K::LinkValue, 29},
    {"import",                 L, "Import",                 K::LinkValue, 30},
    {"level",                  L, "Level",                  K::LinkValue, 31},
    {"linkbundlenamestyle",    L, "LinkBundleNameStyle",    K::LinkValue, 33},
    {"linkdefaults",           L, nullptr,                  K::LinkValue, 34},
    {"linkgrp",                L, "LinkGrp",                K::LinkValue, 35},
    {"linkmsgbasedir",         L, "LinkMsgBaseDir",         K::LinkValue, 36},
    {"mandatory",              L, "Mandatory",              K::LinkValue, 37},
    {"manual",                 L, "Manual",                 K::LinkValue, 38},
    {"norules",                L, "NoRules",                K::LinkValue, 39},
    {"optgrp",                 L, "OptGrp",                 K::LinkValue, 40},
    {"ouraka",                 L, "OurAka",                 K::LinkValue, 41},
    {"packaka",                L, "PackAka",                K::LinkValue, 42},
    {"packer",                 L, "Packer",                 K::LinkValue, 43},
    {"password",               L, "Password",               K::LinkValue, 44},
    {"pause",                  L, "Pause",                  K::LinkValue, 45},
    {"pktsize",                L, "PktSize",                K::LinkValue, 46},
    {"pktpwd",                 L, "PktPwd",                 K::LinkValue, 47},
    {"remoterobotname",        L, "RemoteRobotName",        K::LinkValue, 48},
};
// clang-format on

// Open addressing on a power-of-two table a few times larger than the keyword count: a keyword
// is found with one hash and usually one comparison, and most words that are no keyword land on
// an empty slot at once.
class Index
{
public:
    Index()
    {
        for (const KeywordEntry &e : Table) {
            std::size_t i = keywordHash(e.keyword) & Mask;
            while (m_slots[i])
                i = (i + 1) & Mask;
            m_slots[i] = &e;
        }
    }

    const KeywordEntry *find(QByteArrayView word) const
    {
        for (std::size_t i = keywordHash(word) & Mask;; i = (i + 1) & Mask) {
            const KeywordEntry *e = m_slots[i];
            if (!e)
                return nullptr;
            if (e->keyword.size() == word.size()
                && std::memcmp(e->keyword.data(), word.data(), std::size_t(word.size())) == 0)
                return e;
        }
    }

private:
    static constexpr std::size_t Size = 1024;
    static constexpr std::size_t Mask = Size - 1;
    static_assert((Size & Mask) == 0, "a power of two");

    // The length and the first and last four letters, mixed: a few instructions, and no two
    // of the 129 keywords share more than a neighbouring slot.
    static std::uint32_t keywordHash(QByteArrayView word)
    {
        const char *p = word.data();
        const auto n = std::uint32_t(word.size());
        std::uint32_t head = 0;
        std::uint32_t tail = 0;
        if (n >= 4) {
            std::memcpy(&head, p, 4);
            std::memcpy(&tail, p + n - 4, 4);
        } else {
            for (std::uint32_t i = 0; i < n; ++i)
                head = (head << 8) | std::uint8_t(p[i]);
            tail = head;
        }
        const std::uint32_t h = head * 0x9E3779B1u ^ tail * 0x85EBCA77u ^ n * 0xC2B2AE3Du;
        return h ^ (h >> 16);
    }

    std::array<const KeywordEntry *, Size> m_slots{};
};

const Index &index()
{
    static const Index byWord;
    return byWord;
}

} // namespace

const std::vector<KeywordEntry> &keywordTable()
{
    return Table;
}

const KeywordEntry *findKeyword(QByteArrayView word)
{
    return index().find(word);
}

const FlagWords &areafixKillReportsFlags()
{
    return AreafixKillReports;
}

} // namespace vog
