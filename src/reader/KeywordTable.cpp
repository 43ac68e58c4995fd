#include "KeywordTable.h"

#include "Text.h"

#include <QByteArray>

#include <array>
#include <cstring>
#include <deque>

namespace vog {

namespace {

constexpr Browse File = Browse::File;
constexpr Browse Dir = Browse::Directory;
constexpr Range Max1M = Range::Max1M;

KeywordRow row(const char *name, ValueKind kind)
{
    return KeywordRow{name, Place::General, kind};
}
KeywordRow text(const char *name, Browse browse = Browse::None)
{
    KeywordRow r = row(name, ValueKind::Text);
    r.browse = browse;
    return r;
}
KeywordRow onOff(const char *name) { return row(name, ValueKind::OnOff); }
KeywordRow invertedOnOff(const char *name) { return row(name, ValueKind::InvertedOnOff); }
KeywordRow lowerUpper(const char *name) { return row(name, ValueKind::LowerUpper); }
KeywordRow number(const char *name, Range range = Range::Max100k, int empty = 0)
{
    KeywordRow r = row(name, ValueKind::Number);
    r.range = range;
    r.emptyNumber = empty;
    return r;
}
KeywordRow numberUse(const char *name)
{
    KeywordRow r = number(name);
    r.useBox = true;
    return r;
}
KeywordRow radio(const char *name, const RadioRule &rule)
{
    KeywordRow r = row(name, ValueKind::Radio);
    r.radio = &rule;
    return r;
}
KeywordRow flags(const char *name, const FlagSet &set)
{
    KeywordRow r = row(name, ValueKind::Flags);
    r.flags = &set;
    return r;
}
KeywordRow lines(const char *name, Browse browse = Browse::None)
{
    KeywordRow r = row(name, ValueKind::LineList);
    r.browse = browse;
    return r;
}
KeywordRow storedOnly(const char *name, ValueKind kind)
{
    KeywordRow r = row(name, kind);
    r.shown = false;
    return r;
}

// clang-format off
const RadioRule BundleNameStyle{{
    {"timeStamp"}, {"addrDiff", "addrdiff"}, {"addrsCRC32", "addrscrc32"},
    {"addrDiffAlways", "addrdiffalways"}, {"addrsCRC32Always", "addrscrc32always"}, {"Amiga", "amiga"}},
    0};
const RadioRule KludgeAreaNetmail{{{"kill"}, {"ignore", "ignore"}, {"echomail", "echomail"}}, 0};
const RadioRule LinkWithImportLog{{{"yes"}, {"no", "no"}, {"kill", "kill"}}, 0};
const RadioRule DupeBaseType{{
    {"TextDupes", "textdupes"}, {"HashDupes", "hashdupes", "hashdupeswmsgid"}, {"HashDupesWMsgId"},
    {"CommonDupeBase", "commondupebase"}},
    2};
const RadioRule AllowEmptyPktPwd{{{"Off"}, {"Secure", "secure"}, {"On", "on", {}, true}}, 0};
const RadioRule AvailList{{{"Full"}, {"Unique", "unique"}, {"UniqueOne", "uniqueone"}}, 0};
const RadioRule EchoMailFlavour{{
    {"hold"}, {"normal", "normal"}, {"crash", "crash"}, {"direct", "direct"}, {"immediate", "immediate"}},
    0};
const RadioRule ForwardPkts{{{"off", "off"}, {"secure", "secure"}, {"on"}}, 2};
const RadioRule LinkBundleNameStyle{{
    {"timeStamp", "timestamp"}, {"addrDiff", "addrdiff"}, {"addrDiffAlways", "addrdiffalways"},
    {"addrsCRC32", "addrscrc32"}, {"addrsCRC32Always", "addrscrc32always"}, {"Amiga", "amiga"}},
    -1, "BundleNameStyle"};
const RadioRule Pause{{{"on", "on"}, {"off"}, {"earea", "earea"}, {"farea", "farea"}}, 1};

const FlagSet AreafixKillReports{{
    "pvt", "crash", "read", "sent", "att", "fwd", "orphan",
    "k/s", "loc", "xx2", "frq", "rrq", "cpt", "arq",
    "urq", "kfs", "tfs", "dir", "imm", "cfm", "npd"},
    "afkr_"};

const KeywordRow GeneralRows[] = {
    text         ("AddToSeen"),
    text         ("Address"),
    text         ("AfterUnpack"),
    onOff        ("AreafixFromPkt"),
    onOff        ("AreafixKillRequests"),
    number       ("AreafixMsgSize"),
    text         ("AreafixNames"),
    text         ("AreafixFromName"),
    text         ("AreafixOrigin"),
    flags        ("AreafixKillReports",    AreafixKillReports),
    text         ("AreafixSplitStr"),
    onOff        ("AreafixQueryReports"),
    text         ("AreafixQueueFile",      File),
    lowerUpper   ("AreasFileNameCase"),
    text         ("AutoAreaCreateFlag",    File),
    onOff        ("AutoPassive"),
    text         ("BeforePack"),
    radio        ("BundleNameStyle",       BundleNameStyle),
    lowerUpper   ("CreateAreasCase"),
    onOff        ("CreateFwdNonPass"),
    number       ("DefArcmailSize",        Max1M),
    onOff        ("DisableTID"),
    onOff        ("DisablePID"),
    number       ("ForwardRequestTimeout", Max1M),
    number       ("IdlePassthruTimeout",   Max1M),
    onOff        ("IgnoreCapWord"),
    text         ("IgnoreSeen"),
    onOff        ("KeepTrsFiles"),
    onOff        ("KeepTrsMail"),
    number       ("KilledRequestTimeout",  Max1M),
    radio        ("KludgeAreaNetmail",     KludgeAreaNetmail),
    radio        ("LinkWithImportLog",     LinkWithImportLog),
    onOff        ("LogEchoToScreen"),
    text         ("LogLevels"),
    text         ("Name"),
    text         ("NetmailFlag",           File),
    text         ("NewAreaRefuseFile",     File),
    onOff        ("NoProcessBundles"),
    text         ("Origin"),
    lines        ("Pack"),
    invertedOnOff("PackNetMailOnScan"),
    text         ("ProcessPkt"),
    text         ("PublicGroup"),
    lines        ("Remap"),
    text         ("ReportTo"),
    text         ("RobotsArea"),
    lines        ("Route"),
    lines        ("RouteFile"),
    lines        ("RouteMail"),
    text         ("ScreenLogLevels"),
    onOff        ("SeparateBundles"),
    onOff        ("SetConsoleTitle"),
    text         ("Sysop"),
    text         ("TearLine"),
    text         ("TossingExt"),
    lines        ("Unpack"),
};

const KeywordRow FilesAndPathsRows[] = {
    number       ("AdvisoryLock"),
    text         ("AreafixHelp",           File),
    number       ("AreasMaxDupeAge"),
    radio        ("DupeBaseType",          DupeBaseType),
    text         ("DupeHistoryDir",        Dir),
    text         ("EchoTossLog",           File),
    text         ("FileBoxesDir",          Dir),
    text         ("VogPerlFile",           File),
    text         ("ImportLog",             File),
    text         ("Inbound",               Dir),
    lines        ("Include",               Browse::AddFile),
    text         ("Intab",                 File),
    text         ("LocalInbound",          Dir),
    text         ("LockFile",              File),
    text         ("LogFileDir",            Dir),
    number       ("MinDiskFreeSpace"),
    text         ("MsgBaseDir",            Dir),
    text         ("NotValidFileNameChars"),
    text         ("Outbound",              Dir),
    text         ("Outtab",                File),
    text         ("ProtInbound",           Dir),
    text         ("RulesDir",              Dir),
    text         ("StatLog",               File),
    text         ("TempInbound",           Dir),
    text         ("TempOutbound",          Dir),
};

// In store-row order: row n of a link record is the n-th of these.
const KeywordRow LinkRows[] = {
    text         ("AccessGrp"),
    onOff        ("AdvancedAreafix"),
    text         ("Aka"),
    radio        ("AllowEmptyPktPwd",       AllowEmptyPktPwd),
    onOff        ("AllowPktAddrDiffer"),
    number       ("ArcmailSize",            Range::Max100k, 500),
    onOff        ("ArcNetmail"),
    invertedOnOff("Areafix"),
    numberUse    ("AreafixEchoLimit"),
    text         ("AreafixPwd"),
    invertedOnOff("AutoAreaCreate"),
    text         ("AutoAreaCreateFile",     File),
    text         ("AutoAreaCreateDefaults"),
    onOff        ("AutoAreaCreateSubdirs"),
    numberUse    ("AutoPause"),
    radio        ("AvailList",              AvailList),
    text         ("DenyFwdFile",            File),
    text         ("DenyFwdMask"),
    onOff        ("DenyFwdReqAccess"),
    onOff        ("DenyUncondFwdReqAccess"),
    radio        ("EchoMailFlavour",        EchoMailFlavour),
    invertedOnOff("Export"),
    numberUse    ("ForwardAreaPriority"),
    radio        ("ForwardPkts",            ForwardPkts),
    text         ("ForwardRequestFile",     File),
    text         ("ForwardRequestMask"),
    onOff        ("ForwardRequests"),
    text         ("FileBox",                Dir),
    onOff        ("FileBoxAlways"),
    invertedOnOff("Import"),
    number       ("Level"),
    storedOnly   ("Link",                   ValueKind::LinkName),
    radio        ("LinkBundleNameStyle",    LinkBundleNameStyle),
    storedOnly   ("LinkDefaults",           ValueKind::Text),
    text         ("LinkGrp"),
    text         ("LinkMsgBaseDir",         Dir),
    onOff        ("Mandatory"),
    onOff        ("Manual"),
    onOff        ("NoRules"),
    text         ("OptGrp"),
    text         ("OurAka"),
    text         ("PackAka"),
    text         ("Packer"),
    text         ("Password"),
    radio        ("Pause",                  Pause),
    numberUse    ("PktSize"),
    text         ("PktPwd"),
    text         ("RemoteRobotName"),
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
            if (e.length == length && samePadded(e.text, padded, length))
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

    // Both padded alike and of the same length: the 8-byte steps that hold the word tell.
    static bool samePadded(const char *a, const char *b, qsizetype length)
    {
        std::uint64_t differ = 0;
        for (qsizetype at = 0; at < length; at += 8) {
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
    // Asked for every line read: the index once, not a call each time.
    static const Index &byWord = index();
    return length > MaxKeywordLength ? nullptr : byWord.find(padded, length);
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
