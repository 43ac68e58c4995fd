#include "KeywordTable.h"

#include "Text.h"

#include <QByteArray>

#include <array>
#include <cstring>
#include <deque>

namespace vog {

namespace {

constexpr Width Short = Width::Short;
constexpr Width Long = Width::Long;
constexpr Browse File = Browse::File;
constexpr Browse Dir = Browse::Directory;
constexpr Range Max1M = Range::Max1M;

KeywordRow row(const char *name, ValueKind kind, int dots)
{
    KeywordRow r{name, Place::General, kind};
    r.dots = dots;
    return r;
}
KeywordRow text(const char *name, int dots, Width width = Long, Browse browse = Browse::None)
{
    KeywordRow r = row(name, ValueKind::Text, dots);
    r.width = width;
    r.browse = browse;
    return r;
}
KeywordRow onOff(const char *name, int dots) { return row(name, ValueKind::OnOff, dots); }
KeywordRow invertedOnOff(const char *name, int dots)
{
    return row(name, ValueKind::InvertedOnOff, dots);
}
KeywordRow lowerUpper(const char *name, int dots) { return row(name, ValueKind::LowerUpper, dots); }
KeywordRow number(const char *name, int dots, Range range = Range::Max100k, int empty = 0)
{
    KeywordRow r = row(name, ValueKind::Number, dots);
    r.range = range;
    r.emptyNumber = empty;
    return r;
}
KeywordRow numberUse(const char *name, int dots)
{
    KeywordRow r = number(name, dots);
    r.useBox = true;
    return r;
}
KeywordRow radio(const char *name, const RadioRule &rule)
{
    KeywordRow r = row(name, ValueKind::Radio, 0);
    r.radio = &rule;
    return r;
}
KeywordRow flags(const char *name, const FlagSet &set)
{
    KeywordRow r = row(name, ValueKind::Flags, 0);
    r.flags = &set;
    return r;
}
KeywordRow lines(const char *name, int visible, bool scrollBar = false, Browse browse = Browse::None)
{
    KeywordRow r = row(name, ValueKind::LineList, 0);
    r.visibleLines = visible;
    r.scrollBar = scrollBar;
    r.browse = browse;
    return r;
}
KeywordRow storedOnly(const char *name, ValueKind kind)
{
    KeywordRow r = row(name, kind, 0);
    r.shown = false;
    return r;
}

// clang-format off
const RadioRule BundleNameStyle{{
    {"timeStamp"}, {"addrDiff", "addrdiff"}, {"addrsCRC32", "addrscrc32"},
    {"addrDiffAlways", "addrdiffalways"}, {"addrsCRC32Always", "addrscrc32always"}, {"Amiga", "amiga"}},
    3, 0};
const RadioRule KludgeAreaNetmail{{{"kill"}, {"ignore", "ignore"}, {"echomail", "echomail"}}, 3, 0};
const RadioRule LinkWithImportLog{{{"yes"}, {"no", "no"}, {"kill", "kill"}}, 3, 0};
const RadioRule DupeBaseType{{
    {"TextDupes", "textdupes"}, {"HashDupes", "hashdupes", "hashdupeswmsgid"}, {"HashDupesWMsgId"},
    {"CommonDupeBase", "commondupebase"}},
    4, 2};
const RadioRule AllowEmptyPktPwd{{{"Off"}, {"Secure", "secure"}, {"On", "on", {}, true}}, 3, 0};
const RadioRule AvailList{{{"Full"}, {"Unique", "unique"}, {"UniqueOne", "uniqueone"}}, 3, 0};
const RadioRule EchoMailFlavour{{
    {"hold"}, {"normal", "normal"}, {"crash", "crash"}, {"direct", "direct"}, {"immediate", "immediate"}},
    5, 0};
const RadioRule ForwardPkts{{{"off", "off"}, {"secure", "secure"}, {"on"}}, 3, 2};
const RadioRule LinkBundleNameStyle{{
    {"timeStamp", "timestamp"}, {"addrDiff", "addrdiff"}, {"addrDiffAlways", "addrdiffalways"},
    {"addrsCRC32", "addrscrc32"}, {"addrsCRC32Always", "addrscrc32always"}, {"Amiga", "amiga"}},
    3, -1, "BundleNameStyle"};
const RadioRule Pause{{{"on", "on"}, {"off"}, {"earea", "earea"}, {"farea", "farea"}}, 4, 1};

const FlagSet AreafixKillReports{{
    "pvt", "crash", "read", "sent", "att", "fwd", "orphan",
    "k/s", "loc", "xx2", "frq", "rrq", "cpt", "arq",
    "urq", "kfs", "tfs", "dir", "imm", "cfm", "npd"},
    "afkr_", 7, 56};

const KeywordRow GeneralRows[] = {
    text         ("AddToSeen",             43, Short),
    text         ("Address",               48, Short),
    text         ("AfterUnpack",           39),
    onOff        ("AreafixFromPkt",        29),
    onOff        ("AreafixKillRequests",   24),
    number       ("AreafixMsgSize",        29),
    text         ("AreafixNames",          32),
    text         ("AreafixFromName",       32),
    text         ("AreafixOrigin",         35),
    flags        ("AreafixKillReports",    AreafixKillReports),
    text         ("AreafixSplitStr",       19),
    onOff        ("AreafixQueryReports",   10),
    text         ("AreafixQueueFile",      17, Long, File),
    lowerUpper   ("AreasFileNameCase",     12),
    text         ("AutoAreaCreateFlag",    17, Long, File),
    onOff        ("AutoPassive",           25),
    text         ("BeforePack",            35),
    radio        ("BundleNameStyle",       BundleNameStyle),
    lowerUpper   ("CreateAreasCase",       25),
    onOff        ("CreateFwdNonPass",      12),
    number       ("DefArcmailSize",        29, Max1M),
    onOff        ("DisableTID",            37),
    onOff        ("DisablePID",            37),
    number       ("ForwardRequestTimeout", 13, Max1M),
    number       ("IdlePassthruTimeout",   13, Max1M),
    onOff        ("IgnoreCapWord",         37),
    text         ("IgnoreSeen",            43, Short),
    onOff        ("KeepTrsFiles",          37),
    onOff        ("KeepTrsMail",           37),
    number       ("KilledRequestTimeout",  13, Max1M),
    radio        ("KludgeAreaNetmail",     KludgeAreaNetmail),
    radio        ("LinkWithImportLog",     LinkWithImportLog),
    onOff        ("LogEchoToScreen",       37),
    text         ("LogLevels",             35),
    text         ("Name",                  35),
    text         ("NetmailFlag",           35, Long, File),
    text         ("NewAreaRefuseFile",     35, Long, File),
    onOff        ("NoProcessBundles",      37),
    text         ("Origin",                35),
    lines        ("Pack",                  8),
    invertedOnOff("PackNetMailOnScan",     37),
    text         ("ProcessPkt",            35),
    text         ("PublicGroup",           35),
    lines        ("Remap",                 4),
    text         ("ReportTo",              35),
    text         ("RobotsArea",            35),
    lines        ("Route",                 4),
    lines        ("RouteFile",             4),
    lines        ("RouteMail",             4),
    text         ("ScreenLogLevels",       35),
    onOff        ("SeparateBundles",       37),
    onOff        ("SetConsoleTitle",       37),
    text         ("Sysop",                 35, Short),
    text         ("TearLine",              35),
    text         ("TossingExt",            35),
    lines        ("Unpack",                4),
};

const KeywordRow FilesAndPathsRows[] = {
    number       ("AdvisoryLock",          29),
    text         ("AreafixHelp",           36, Long, File),
    number       ("AreasMaxDupeAge",       29),
    radio        ("DupeBaseType",          DupeBaseType),
    text         ("DupeHistoryDir",        36, Long, Dir),
    text         ("EchoTossLog",           36, Long, File),
    text         ("FileBoxesDir",          36, Long, Dir),
    text         ("VogPerlFile",           36, Long, File),
    text         ("ImportLog",             36, Long, File),
    text         ("Inbound",               36, Long, Dir),
    lines        ("Include",               4, true, Browse::AddFile),
    text         ("Intab",                 36, Long, File),
    text         ("LocalInbound",          36, Long, Dir),
    text         ("LockFile",              36, Long, File),
    text         ("LogFileDir",            36, Long, Dir),
    number       ("MinDiskFreeSpace",      29),
    text         ("MsgBaseDir",            36, Long, Dir),
    text         ("NotValidFileNameChars", 36),
    text         ("Outbound",              36, Long, Dir),
    text         ("Outtab",                36, Long, File),
    text         ("ProtInbound",           36, Long, Dir),
    text         ("RulesDir",              36, Long, Dir),
    text         ("StatLog",               36, Long, File),
    text         ("TempInbound",           36, Long, Dir),
    text         ("TempOutbound",          36, Long, Dir),
};

// In store-row order: row n of a link record is the n-th of these.
const KeywordRow LinkRows[] = {
    text         ("AccessGrp",              39),
    onOff        ("AdvancedAreafix",        30),
    text         ("Aka",                    57, Short),
    radio        ("AllowEmptyPktPwd",       AllowEmptyPktPwd),
    onOff        ("AllowPktAddrDiffer",     29),
    number       ("ArcmailSize",            40, Range::Max100k, 500),
    onOff        ("ArcNetmail",             43),
    invertedOnOff("Areafix",                50),
    numberUse    ("AreafixEchoLimit",       29),
    text         ("AreafixPwd",             44, Short),
    invertedOnOff("AutoAreaCreate",         44),
    text         ("AutoAreaCreateFile",     33, Width::LongLessOne, File),
    text         ("AutoAreaCreateDefaults", 39),
    onOff        ("AutoAreaCreateSubdirs",  44),
    numberUse    ("AutoPause",              42),
    radio        ("AvailList",              AvailList),
    text         ("DenyFwdFile",            35, Long, File),
    text         ("DenyFwdMask",            26),
    onOff        ("DenyFwdReqAccess",       44),
    onOff        ("DenyUncondFwdReqAccess", 44),
    radio        ("EchoMailFlavour",        EchoMailFlavour),
    invertedOnOff("Export",                 44),
    numberUse    ("ForwardAreaPriority",    29),
    radio        ("ForwardPkts",            ForwardPkts),
    text         ("ForwardRequestFile",     26, Long, File),
    text         ("ForwardRequestMask",     26),
    onOff        ("ForwardRequests",        44),
    text         ("FileBox",                45, Long, Dir),
    onOff        ("FileBoxAlways",          44),
    invertedOnOff("Import",                 44),
    number       ("Level",                  47),
    storedOnly   ("Link",                   ValueKind::LinkName),
    radio        ("LinkBundleNameStyle",    LinkBundleNameStyle),
    storedOnly   ("LinkDefaults",           ValueKind::Text),
    text         ("LinkGrp",                41),
    text         ("LinkMsgBaseDir",         45, Long, Dir),
    onOff        ("Mandatory",              44),
    onOff        ("Manual",                 44),
    onOff        ("NoRules",                44),
    text         ("OptGrp",                 41),
    text         ("OurAka",                 44, Short),
    text         ("PackAka",                44, Short),
    text         ("Packer",                 44, Short),
    text         ("Password",               44, Short),
    radio        ("Pause",                  Pause),
    numberUse    ("PktSize",                47),
    text         ("PktPwd",                 44, Short),
    text         ("RemoteRobotName",        44, Short),
};
// clang-format on

struct Built
{
    std::vector<KeywordRow> rows;
    std::deque<QByteArray> keywords; // the lower-case words the rows' views point into
    int linkNameRow = 0;

    Built()
    {
        add(GeneralRows, Place::General);
        add(FilesAndPathsRows, Place::FilesAndPaths);
        add(LinkRows, Place::Link);
        int storeRow = 0;
        for (KeywordRow &r : rows) {
            if (r.place == Place::Link)
                r.storeRow = ++storeRow;
            if (r.kind == ValueKind::LinkName)
                linkNameRow = r.storeRow;
        }
    }

    template <std::size_t N>
    void add(const KeywordRow (&section)[N], Place place)
    {
        for (const KeywordRow &r : section) {
            KeywordRow copy = r;
            copy.place = place;
            copy.index = int(rows.size());
            keywords.push_back(lowered(QByteArrayView(r.name)));
            copy.keyword = keywords.back();
            rows.push_back(copy);
        }
    }
};

const Built &built()
{
    static const Built table;
    return table;
}

// The words a link section may spell a keyword with besides its own: a newer spelling, or a
// shorter word that sets it too.
const std::pair<const char *, const char *> NewerSpellings[] = {
    {"areafixautocreate",         "AutoAreaCreate"},
    {"areafixautocreatefile",     "AutoAreaCreateFile"},
    {"areafixautocreatedefaults", "AutoAreaCreateDefaults"},
    {"autocreate",                "AutoAreaCreate"},
};

// Open addressing on a power-of-two table a few times larger than the keyword count: a keyword
// is found with one hash and usually one comparison, and most words that are no keyword land on
// an empty slot at once. Keywords are kept zero-padded to the longest, so that a word padded
// alike compares in four 8-byte steps.
class Index
{
public:
    Index()
    {
        const std::vector<KeywordRow> &rows = keywordTable();
        for (const KeywordRow &r : rows)
            add(r.keyword, r);
        for (const auto &[word, name] : NewerSpellings)
            add(QByteArrayView(word), *rowNamed(name));
    }

    const KeywordRow *find(const char *padded, qsizetype length) const
    {
        for (std::size_t i = keywordHash(padded, length) & Mask;; i = (i + 1) & Mask) {
            const unsigned k = m_slots[i];
            if (!k)
                return nullptr;
            const Entry &e = m_entries[k - 1];
            if (e.length == length && samePadded(e.text, padded))
                return e.row;
        }
    }

private:
    void add(QByteArrayView word, const KeywordRow &row)
    {
        Entry &e = m_entries.emplace_back();
        e.row = &row;
        e.length = word.size();
        std::memcpy(e.text, word.data(), std::size_t(e.length));
        std::size_t i = keywordHash(e.text, e.length) & Mask;
        while (m_slots[i])
            i = (i + 1) & Mask;
        m_slots[i] = std::uint16_t(m_entries.size());
    }

    static constexpr std::size_t Size = 1024;
    static constexpr std::size_t Mask = Size - 1;
    static_assert((Size & Mask) == 0, "a power of two");
    static_assert(MaxKeywordLength % 8 == 0, "whole 8-byte steps");

    struct Entry
    {
        alignas(8) char text[MaxKeywordLength] = {};
        qsizetype length = 0;
        const KeywordRow *row = nullptr;
    };

    static bool samePadded(const char *a, const char *b)
    {
        std::uint64_t differ = 0;
        for (int at = 0; at < MaxKeywordLength; at += 8) {
            std::uint64_t x, y;
            std::memcpy(&x, a + at, 8);
            std::memcpy(&y, b + at, 8);
            differ |= x ^ y;
        }
        return differ == 0;
    }

    // The length and the first and last four letters, mixed: a few instructions, and no two
    // of the 129 keywords share more than a neighbouring slot.
    static std::uint32_t keywordHash(const char *p, qsizetype length)
    {
        const auto n = std::uint32_t(length);
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

    std::array<std::uint16_t, Size> m_slots{}; // an entry's place plus one; 0: empty
    std::vector<Entry> m_entries;
};

const Index &index()
{
    static const Index byWord;
    return byWord;
}

} // namespace

int rangeMaximum(Range range)
{
    return range == Range::Max1M ? 1000000 : 100000;
}

const std::vector<KeywordRow> &keywordTable()
{
    return built().rows;
}

std::vector<const KeywordRow *> rowsShownIn(Place place)
{
    std::vector<const KeywordRow *> out;
    for (const KeywordRow &r : keywordTable())
        if (r.place == place && r.shown)
            out.push_back(&r);
    return out;
}

const KeywordRow *findKeyword(QByteArrayView word)
{
    if (word.size() > MaxKeywordLength)
        return nullptr;
    char padded[MaxKeywordLength] = {};
    if (!word.isEmpty())
        std::memcpy(padded, word.data(), std::size_t(word.size()));
    return index().find(padded, word.size());
}

const KeywordRow *findPaddedKeyword(const char *padded, qsizetype length)
{
    return length > MaxKeywordLength ? nullptr : index().find(padded, length);
}

const KeywordRow *rowNamed(QByteArrayView name)
{
    for (const KeywordRow &r : keywordTable())
        if (name == r.name)
            return &r;
    return nullptr;
}

int linkNameRow()
{
    return built().linkNameRow;
}

} // namespace vog
