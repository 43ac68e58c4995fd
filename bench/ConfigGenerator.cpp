#include "ConfigGenerator.h"

#include "reader/KeywordTable.h"
#include "reader/LineGrammar.h"

#include <QFile>

#include <iconv.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace vogbench {

namespace {

// splitmix64: small, fast and the same sequence everywhere, which the standard library's
// distributions don't promise.
class Random
{
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}

    std::uint64_t next()
    {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    int below(int n) { return int(next() % std::uint64_t(n)); }
    int between(int low, int high) { return low + below(high - low + 1); }
    bool chance(int percent) { return below(100) < percent; }
    template <typename T, std::size_t N>
    const T &pick(const T (&items)[N])
    {
        return items[std::size_t(below(int(N)))];
    }

private:
    std::uint64_t m_state;
};

// Buffered output that counts lines and bytes and ends each line as the current block does.
class Writer
{
public:
    // Lines are given in UTF-8 and written in the codepage, when one is named.
    Writer(const QString &path, const std::string &codepage, GeneratedFile &facts) : m_facts(facts)
    {
        if (!codepage.empty()) {
            // Only 8-bit codepages that keep ASCII as it is: other lines are written unconverted.
            if (codepage != "KOI8-R" && codepage != "CP866" && codepage != "CP1251")
                throw std::runtime_error("not one of KOI8-R, CP866 and CP1251: " + codepage);
            m_converter = iconv_open(codepage.c_str(), "UTF-8");
            if (m_converter == iconv_t(-1))
                throw std::runtime_error("unknown codepage " + codepage);
        }
        m_file = std::fopen(QFile::encodeName(path).constData(), "wb");
        if (!m_file)
            throw std::runtime_error("cannot write " + path.toStdString());
        m_buffer.reserve(BufferSize + 4096);
    }
    ~Writer()
    {
        if (m_converter != iconv_t(-1))
            iconv_close(m_converter);
        if (m_file)
            std::fclose(m_file);
    }

    void setCrLf(bool crlf) { m_crlf = crlf; }
    void line(const std::string &text)
    {
        if (m_converter != iconv_t(-1) && !std::all_of(text.begin(), text.end(), isAscii))
            append(text);
        else
            m_buffer += text;
        m_buffer += m_crlf ? "\r\n" : "\n";
        ++m_facts.lines;
        if (m_buffer.size() >= BufferSize)
            flush();
    }
    void finish()
    {
        flush();
        if (std::fclose(m_file) != 0)
            throw std::runtime_error("cannot finish the file");
        m_file = nullptr;
    }

private:
    static constexpr std::size_t BufferSize = 1 << 20;
    void flush()
    {
        if (!m_buffer.empty()
            && std::fwrite(m_buffer.data(), 1, m_buffer.size(), m_file) != m_buffer.size())
            throw std::runtime_error("cannot write the file");
        m_facts.bytes += std::int64_t(m_buffer.size());
        m_buffer.clear();
    }

    static bool isAscii(char c) { return static_cast<unsigned char>(c) < 0x80; }

    void append(const std::string &utf8)
    {
        const std::size_t start = m_buffer.size();
        m_buffer.resize(start + utf8.size()); // no codepage takes more bytes than UTF-8
        char *in = const_cast<char *>(utf8.data());
        char *out = m_buffer.data() + start;
        std::size_t inLeft = utf8.size(), outLeft = utf8.size();
        if (iconv(m_converter, &in, &inLeft, &out, &outLeft) == std::size_t(-1))
            throw std::runtime_error("the codepage has no character for a letter of: " + utf8);
        m_buffer.resize(m_buffer.size() - outLeft);
    }

    iconv_t m_converter = iconv_t(-1);
    std::FILE *m_file = nullptr;
    std::string m_buffer;
    bool m_crlf = false;
    GeneratedFile &m_facts;
};

const char *const FirstNames[] = {"Ivan",   "Pavel",  "Sergey", "Alex",  "Dmitry", "Oleg",
                                  "Nikolai", "Boris", "Yuri",   "Anna",  "Elena",  "Max",
                                  "Tomas",  "Jan",    "Иван",   "Пётр",  "Ольга",  "Søren"};
const char *const LastNames[] = {"Petrov",  "Ivanov",   "Smirnov", "Kuznetsov", "Popov",
                                 "Volkov",  "Sokolov",  "Lebedev", "Novak",     "Horak",
                                 "Jensen",  "Schmidt",  "Mueller", "Петров",    "Сидоров",
                                 "Kowalski", "Lindqvist", "Brown"};
const char *const Cities[] = {"Moscow", "Tver", "Kazan", "Perm", "Brno", "Praha",
                              "Riga",   "Oslo", "Kyiv",  "Omsk", "Tula", "Минск"};
const char *const RussianFirstNames[] = {"Иван", "Пётр", "Сергей", "Алексей", "Дмитрий", "Олег",
                                         "Николай", "Борис", "Юрий", "Анна", "Елена", "Ольга",
                                         "Татьяна", "Михаил", "Андрей", "Наталья", "Владимир", "Григорий"};
const char *const RussianLastNames[] = {"Петров", "Иванов", "Смирнов", "Кузнецов", "Попов",
                                        "Волков", "Соколов", "Лебедев", "Козлов", "Новиков",
                                        "Морозов", "Павлов", "Семёнов", "Голубев", "Виноградов",
                                        "Богданов", "Воробьёв", "Фёдоров"};
const char *const RussianCities[] = {"Москва", "Тверь", "Казань", "Пермь", "Вологда", "Омск",
                                     "Тула", "Самара", "Новосибирск", "Череповец", "Ярославль",
                                     "Санкт-Петербург"};

// The words of names, origins and comments: Western and a few Russian ones in UTF-8, or Russian
// only, for a file written in an 8-bit codepage.
struct Words
{
    const char *const *first, *const *last, *const *cities;
    int firstCount, lastCount, cityCount;
    const char *station, *since, *askedFor, *on;
    const char *header, *defaults, *lines;

    template <std::size_t F, std::size_t L, std::size_t C>
    Words(const char *const (&f)[F], const char *const (&l)[L], const char *const (&c)[C])
        : first(f), last(l), cities(c), firstCount(int(F)), lastCount(int(L)), cityCount(int(C))
    {
    }
    const char *firstName(Random &r) const { return first[r.below(firstCount)]; }
    const char *lastName(Random &r) const { return last[r.below(lastCount)]; }
    const char *city(Random &r) const { return cities[r.below(cityCount)]; }
};

const Words &westernWords()
{
    static const Words w = [] {
        Words w(FirstNames, LastNames, Cities);
        w.station = " Station * ";
        w.since = ", since ";
        w.askedFor = " asked for ";
        w.on = " on ";
        w.header = "Tosser configuration of ";
        w.defaults = "Settings for every link that doesn't say otherwise";
        w.lines = " lines";
        return w;
    }();
    return w;
}

const Words &russianWords()
{
    static const Words w = [] {
        Words w(RussianFirstNames, RussianLastNames, RussianCities);
        w.station = " Станция узла * ";
        w.since = ", в сети с ";
        w.askedFor = " просил подписать на ";
        w.on = ", число ";
        w.header = "Конфигурация тоссера, сисоп ";
        w.defaults = "Настройки для всех линков, где не сказано иначе";
        w.lines = ": строки маршрутов и пакеров";
        return w;
    }();
    return w;
}

const char *const EchoGroups[] = {"RU", "SU", "FIDO", "PVT", "N5020", "R50", "XSU", "BBS"};
const char *const EchoWords[] = {"SYSOP",  "HUMOR",   "COMP",  "LINUX", "TALK", "NEWS",
                                 "MUSIC",  "GENERAL", "CHESS", "RADIO", "AUTO", "HOBBY",
                                 "SPORT",  "BOOKS",   "PHOTO", "DEBUG", "ECHO", "FILES"};
const char *const Archivers[] = {"zip", "rar", "arj", "lha", "ha", "7z"};
const char *const Flavours[] = {"crash", "hold", "normal", "direct", "immediate"};
const char *const OnOffWords[] = {"on", "off", "yes", "no", "On", "Off", "Yes", "No"};

std::string number(std::int64_t n)
{
    return std::to_string(n);
}

std::string address(Random &r, bool point = false)
{
    std::string a = number(r.between(1, 5)) + ":" + number(r.between(5000, 5099)) + "/"
        + number(r.between(1, 9999));
    if (point)
        a += "." + number(r.between(1, 99));
    return a;
}

std::string personName(Random &r, const Words &w)
{
    return std::string(w.firstName(r)) + " " + w.lastName(r);
}

std::string echoName(Random &r)
{
    return std::string(r.pick(EchoGroups)) + "." + r.pick(EchoWords);
}

std::string lowerAscii(std::string s)
{
    for (char &c : s)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return s;
}

std::string upperAscii(std::string s)
{
    for (char &c : s)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return s;
}

// A word in the letter case people write it: as given, lower, upper or capitalised.
std::string anyCase(Random &r, const std::string &word)
{
    switch (r.below(8)) {
    case 0:
        return upperAscii(word);
    case 1:
        if (!word.empty())
            return upperAscii(word.substr(0, 1)) + word.substr(1);
        return word;
    default:
        return word;
    }
}

std::string password(Random &r)
{
    static const char Letters[] = "ABCDEFGHJKLMNPQRSTUVWXYZabcdefghijkmnopqrstuvwxyz23456789";
    std::string p;
    for (int i = 0, n = r.between(6, 8); i < n; ++i)
        p += Letters[r.below(int(sizeof Letters - 1))];
    return p;
}

std::string groups(Random &r)
{
    std::string g;
    for (int i = 0, n = r.between(1, 4); i < n; ++i) {
        if (i)
            g += ",";
        g += char('A' + r.below(8));
    }
    return g;
}

std::string path(Random &r, const char *leaf)
{
    static const char *const Roots[] = {"/var/spool/vog", "/var/lib/vog", "/home/fido",
                                        "/srv/ftn", "/etc/vog"};
    return std::string(r.pick(Roots)) + "/" + leaf;
}

// The variables that a file with the whole grammar sets in its header, each for one of the roots
// of path(): a path under the root is now and then written through the variable.
struct Variable
{
    const char *name;
    const char *root;
};
const Variable Variables[] = {{"FIDO", "/home/fido"},
                              {"SPOOL", "/var/spool/vog"},
                              {"ETC", "/etc/vog"},
                              {"SRV", "/srv/ftn"},
                              {"LIB", "/var/lib/vog"}};

// The tests of a condition that holds for the hub module alone, as people write them.
const char *const HubTests[] = {"\"[module]\"==\"hub\"", "[module]==hub", "\"[module]\" == \"hub\"",
                                "\"[MODULE]\"==\"hub\""};
// Trailing comments, after a value or after a switch written alone.
const char *const TrailingComments[] = {"     # keep", "\t# hub asked for it", " ## was off",
                                        " #", "  #\told value below", "\t\t# see the log"};

// The spelling of a keyword on a line: its mixed-case name most often, else lower or upper.
std::string spelling(Random &r, const vog::KeywordRow &e)
{
    const std::string mixed = e.name;
    const int roll = r.below(100);
    if (roll < 70)
        return mixed;
    if (roll < 90)
        return lowerAscii(mixed);
    return upperAscii(mixed);
}

bool has(QByteArrayView keyword, const char *part)
{
    return keyword.indexOf(QByteArrayView(part)) >= 0;
}

std::string textValue(Random &r, const Words &w, QByteArrayView k)
{
    if (k == "address" || k == "addtoseen" || k == "ignoreseen") {
        std::string v = address(r);
        for (int i = 0, n = r.below(3); i < n; ++i)
            v += " " + address(r);
        return v;
    }
    if (has(k, "loglevels"))
        return r.chance(50) ? "1-9ABCDEFGHIJKLMNOPQRSTUVWXYZ" : "1-5";
    if (k == "afterunpack" || k == "beforepack" || k == "processpkt")
        return "/usr/local/bin/vog-" + std::string(k.data(), std::size_t(k.size())) + ".sh $a $p";
    if (k == "notvalidfilenamechars")
        return "\"*/:;<=>?\\|%`'&+";
    if (k == "tossingext")
        return "tos";
    if (k == "tearline")
        return "Vog tosser " + number(r.between(1, 3)) + "." + number(r.below(10));
    if (k.endsWith("file") || has(k, "dir") || has(k, "log") || has(k, "lock")
        || has(k, "inbound") || has(k, "outbound") || has(k, "help") || has(k, "tab")
        || has(k, "flag"))
        return path(r, (std::string(k.data(), std::size_t(k.size()))
                        + (k.endsWith("file") ? ".cfg" : k.endsWith("log") ? ".log" : ""))
                               .c_str());
    if (k == "publicgroup")
        return groups(r);
    if (k == "name" || k == "origin" || k == "areafixorigin")
        return personName(r, w) + w.station + w.city(r) + " * +7-495-" + number(r.between(100, 999))
            + "-" + number(r.between(1000, 9999));
    return personName(r, w) + " " + r.pick(EchoWords);
}

std::string wordsValue(Random &r, const vog::RadioRule &rule)
{
    if (r.chance(10))
        return "default";
    std::vector<QByteArrayView> words;
    for (const vog::RadioOption &o : rule.options)
        if (!o.word.isEmpty())
            words.push_back(o.word);
    return anyCase(r, words[std::size_t(r.below(int(words.size())))].toByteArray().toStdString());
}

std::string flagsValue(Random &r, const vog::FlagSet &flags)
{
    std::string v;
    for (QByteArrayView word : flags.words)
        if (r.chance(25)) {
            if (!v.empty())
                v += " ";
            v += anyCase(r, word.toByteArray().toStdString());
        }
    return v.empty() ? "pvt" : v;
}

// A general or files-and-paths value, by its kind.
std::string generalValue(Random &r, const Words &w, const vog::KeywordRow &e)
{
    switch (e.kind) {
    case vog::ValueKind::OnOff:
    case vog::ValueKind::InvertedOnOff:
        return r.pick(OnOffWords);
    case vog::ValueKind::LowerUpper:
        return anyCase(r, r.chance(50) ? "lower" : "upper");
    case vog::ValueKind::Number:
        if (r.chance(3))
            return "$" + QByteArray::number(r.between(16, 4095), 16).toStdString();
        if (r.chance(2))
            return number(r.between(100001, 5000000)); // clamped by the field
        return number(r.between(0, 100000));
    case vog::ValueKind::Radio:
        return wordsValue(r, *e.radio);
    case vog::ValueKind::Flags:
        return flagsValue(r, *e.flags);
    default:
        return textValue(r, w, e.keyword);
    }
}

std::string listValue(Random &r, const Words &w, QByteArrayView k)
{
    if (k == "route" || k == "routefile" || k == "routemail") {
        std::string v = std::string(r.pick(Flavours)) + " " + address(r);
        const int masks = r.between(1, 12);
        for (int i = 0; i < masks; ++i)
            v += " " + number(r.between(1, 5)) + ":" + number(r.between(5000, 5099))
                + (r.chance(50) ? "/*" : "/" + number(r.between(1, 9999)) + ".*");
        return v;
    }
    if (k == "remap")
        return personName(r, w) + ",* " + address(r, true) + " *";
    if (k == "pack") {
        const std::string a = r.pick(Archivers);
        return a + "  " + a + " a -ep -m" + number(r.between(1, 9)) + " $a $f";
    }
    if (k == "unpack")
        return "\"" + std::string(r.pick(Archivers)) + " e -o+ $a $p\" 0 "
            + QByteArray::number(qulonglong(r.next() & 0xFFFFFFFF), 16).toStdString();
    // include
    return path(r, ("areas/" + lowerAscii(echoName(r)) + "-" + number(r.between(1, 9999)) + ".cfg").c_str());
}

std::string linkValue(Random &r, QByteArrayView k)
{
    if (k == "aka" || k == "ouraka" || k == "packaka")
        return address(r, r.chance(20));
    if (k == "arcmailsize" || k == "pktsize")
        return number(r.chance(2) ? r.between(100001, 900000) : r.between(0, 2048));
    if (k == "areafixecholimit" || k == "autopause" || k == "forwardareapriority"
        || k == "level")
        return number(r.between(0, 1000));
    if (k == "areafixpwd" || k == "password" || k == "pktpwd")
        return password(r);
    if (k == "accessgrp" || k == "linkgrp" || k == "optgrp")
        return groups(r);
    if (k == "allowemptypktpwd" || k == "forwardpkts") {
        static const char *const Words[] = {"off", "secure", "on", "Secure"};
        return r.pick(Words);
    }
    if (k == "availlist") {
        static const char *const Words[] = {"full", "unique", "uniqueone", "UniqueOne"};
        return r.pick(Words);
    }
    if (k == "echomailflavour")
        return anyCase(r, r.pick(Flavours));
    if (k == "linkbundlenamestyle") {
        static const char *const Words[] = {"timeStamp", "addrDiff", "addrDiffAlways",
                                            "addrsCRC32", "addrsCRC32Always", "Amiga"};
        return r.pick(Words);
    }
    if (k == "pause") {
        static const char *const Words[] = {"on", "off", "earea", "farea"};
        return r.pick(Words);
    }
    if (k == "packer")
        return r.pick(Archivers);
    if (k == "autoareacreatedefaults")
        return "-b Squish -dupeCheck move -dupeHistory " + number(r.between(7, 60)) + " -$m "
            + number(r.between(100, 5000));
    if (k == "denyfwdmask" || k == "forwardrequestmask")
        return echoName(r) + "* " + r.pick(EchoGroups) + ".*";
    if (k == "autoareacreatefile" || k == "denyfwdfile" || k == "forwardrequestfile")
        return path(r, ("links/" + password(r) + ".lst").c_str());
    if (k == "filebox" || k == "linkmsgbasedir")
        return path(r, ("boxes/" + address(r)).c_str());
    if (k == "remoterobotname")
        return r.chance(50) ? "AreaFix" : "AreaMgr";
    if (k == "linkdefaults") // a word that opens no block: the blocks are written apart
        return r.chance(50) ? "keep" : "none";
    return r.pick(OnOffWords); // the On/Off rows
}

// How a block lays out its keyword lines.
struct Style
{
    std::string indent;
    int column = 0; // values aligned to this column, or one blank after the keyword when 0
};

Style pickStyle(Random &r, bool inLink)
{
    Style s;
    if (inLink) {
        const int roll = r.below(100);
        s.indent = roll < 60 ? "" : roll < 85 ? "  " : "\t";
    }
    s.column = r.chance(50) ? 23 : 0;
    return s;
}

std::string keywordLine(Random &r, const Style &s, const std::string &keyword,
                        const std::string &value)
{
    std::string line = s.indent + keyword;
    if (s.column > int(keyword.size()))
        line.append(std::size_t(s.column - int(keyword.size())), ' ');
    else
        line += ' ';
    line += value;
    if (r.chance(3))
        line += r.chance(50) ? "   " : " \t";
    return line;
}

struct Plan
{
    std::vector<std::uint8_t> perLink;   // per-link keyword lines of each section
    std::vector<std::uint8_t> decorated; // bit 0: a comment before, bit 1: a blank line after
    // fullGrammar: per-link lines at a section's end that a hub writes otherwise, in a
    // condition (0: none); its hub branch has as many lines of the same keywords.
    std::vector<std::uint8_t> hubLines;
    std::int64_t sectionLines = 0;
};

class Generator
{
public:
    Generator(const GeneratorOptions &o, const QString &path)
        : m_options(o), m_words(o.codepage.empty() ? westernWords() : russianWords()),
          m_random(o.seed), m_grammar(o.seed * 0x2545F4914F6CDD1DULL + 0x6772616DULL),
          m_out(path, o.codepage, m_facts)
    {
        for (const vog::KeywordRow &e : vog::keywordTable()) {
            if (e.kind == vog::ValueKind::LinkName)
                m_linkEntry = &e;
            else if (e.place == vog::Place::Link)
                m_perLink.push_back(&e);
            else if (e.kind == vog::ValueKind::LineList)
                m_lists.push_back(&e);
            else
                m_general.push_back(&e);
            if (e.keyword == "route")
                m_route = &e;
        }
    }

    GeneratedFile run()
    {
        const Plan plan = makePlan();
        header();
        const std::int64_t spreadLists = m_options.listLines - m_facts.listLines;
        const std::int64_t listsAtTop = m_facts.listLines;
        defaultsBeforeFirstLink();
        const std::int64_t fillerBudget = std::max<std::int64_t>(
                0, m_options.lines - m_facts.lines - spreadLists - plan.sectionLines);
        std::int64_t filler = 0;
        const int links = m_options.links;
        for (int i = 0; i < links; ++i) {
            for (const std::string &line : defaultsBlock(i))
                m_out.line(line);
            m_facts.defaultsLines += std::int64_t(defaultsBlock(i).size());
            section(plan, i);
            const std::int64_t listTarget = listsAtTop + spreadLists * (i + 1) / links;
            while (m_facts.listLines < listTarget)
                listBlock(listTarget - m_facts.listLines);
            const std::int64_t fillerTarget = fillerBudget * (i + 1) / links;
            while (filler < fillerTarget)
                filler += fillerBlock(fillerTarget - filler);
        }
        while (m_facts.listLines < m_options.listLines)
            listBlock(m_options.listLines - m_facts.listLines);
        while (m_facts.lines < m_options.lines)
            fillerBlock(m_options.lines - m_facts.lines);
        areas();
        m_out.finish();
        return m_facts;
    }

private:
    // The sections' sizes are drawn first, from a stream of their own, so that the filler can
    // be spread evenly and the file comes out at the size asked for.
    Plan makePlan()
    {
        Random r(m_options.seed ^ 0x5EC7105ULL);
        Plan p;
        const int maxLines = int(m_perLink.size());
        p.perLink.resize(std::size_t(m_options.links));
        p.decorated.resize(std::size_t(m_options.links));
        // The conditions in sections come from a stream of their own, which the standard file
        // never draws from.
        Random g(m_options.seed ^ 0xC0D171005ULL);
        if (m_options.fullGrammar)
            p.hubLines.resize(std::size_t(m_options.links));
        for (int i = 0; i < m_options.links; ++i) {
            const int most = std::clamp(m_options.mostLinkLines, 1, maxLines);
            p.perLink[std::size_t(i)] = std::uint8_t(
                    r.between(std::clamp(m_options.fewestLinkLines, 1, most), most));
            p.decorated[std::size_t(i)] = std::uint8_t((r.chance(80) ? 1 : 0) | (r.chance(90) ? 2 : 0));
            p.sectionLines += 1 + p.perLink[std::size_t(i)] + (p.decorated[std::size_t(i)] & 1)
                + ((p.decorated[std::size_t(i)] >> 1) & 1)
                + std::int64_t(defaultsBlock(i).size());
            if (m_options.fullGrammar && p.perLink[std::size_t(i)] > 1 && g.chance(4)) {
                const int hub = std::min(g.between(1, 3), p.perLink[std::size_t(i)] - 1);
                p.hubLines[std::size_t(i)] = std::uint8_t(hub);
                p.sectionLines += 3 + hub; // if, the hub's lines, else, endif
            }
        }
        return p;
    }

    void block() { m_out.setCrLf(m_random.chance(25)); }

    void comment(const std::string &text) { m_out.line("# " + text); }

    void header()
    {
        block();
        comment(m_words.header + personName(m_random, m_words) + ", "
                + m_words.city(m_random) + " (generated, seed " + number(std::int64_t(m_options.seed)) + ")");
        comment("Every keyword the tosser knows appears below; areas and links follow.");
        m_out.line("");
        if (m_options.fullGrammar)
            variables();
        // The general and files-and-paths keywords in groups, each group with its heading.
        std::size_t i = 0;
        while (i < m_general.size()) {
            block();
            const Style s = pickStyle(m_random, false);
            m_out.line(r().chance(50) ? "" : "#");
            comment("---- " + std::string(r().pick(EchoWords)) + " " + std::string(60, '-'));
            for (int n = r().between(5, 12); n > 0 && i < m_general.size(); --n, ++i)
                generalLine(s, *m_general[i]);
        }
        // The long lists: half of all list lines, route first as a hub writes them.
        const std::int64_t top = m_options.listLines / 2;
        for (std::size_t k = 0; k < m_lists.size(); ++k) {
            std::int64_t n = top * listShare(*m_lists[k], true) / 100;
            block();
            m_out.line("");
            comment(std::string(m_lists[k]->name) + m_words.lines);
            const Style s = pickStyle(m_random, false);
            for (; n > 0; --n)
                listLine(s, *m_lists[k]);
        }
        m_out.line("");
    }

    void defaultsBeforeFirstLink()
    {
        block();
        comment(m_words.defaults);
        const Style s = pickStyle(m_random, false);
        for (int n = 0; n < 3; ++n)
            linkLine(s, *m_perLink[std::size_t(r().below(int(m_perLink.size())))]);
        m_out.line("");
    }

    // The lines before the section of this index: four blocks, each changing a part of the
    // defaults, and a destroy before the last eighth of the links. Their words are fixed, so
    // they take nothing of the random stream.
    std::vector<std::string> defaultsBlock(int index) const
    {
        const int links = m_options.links;
        if (links < 8 || index % (links / 8) != 0 || index == 0)
            return {};
        const int eighth = index / (links / 8);
        static const char *const Blocks[][3] = {
            {"Packer zip", "EchoMailFlavour crash", "LinkGrp A,B,C"},
            {"Packer arj", nullptr, nullptr},
            {"ArcmailSize 2048", "Pause off", nullptr},
            {"ForwardPkts secure", "Level 50", nullptr},
        };
        std::vector<std::string> lines;
        if (eighth == 7) {
            lines.push_back("LinkDefaults destroy");
        } else if (eighth % 2 == 1 && eighth / 2 < 4) {
            lines.push_back("LinkDefaults begin");
            for (const char *line : Blocks[eighth / 2])
                if (line)
                    lines.push_back(line);
            lines.push_back("LinkDefaults end");
        }
        return lines;
    }

    void section(const Plan &plan, int index)
    {
        block();
        const Style s = pickStyle(m_random, true);
        const std::string name = personName(m_random, m_words);
        const std::string aka = address(m_random);
        if (plan.decorated[std::size_t(index)] & 1)
            comment(name + ", " + m_words.city(m_random) + m_words.since + number(r().between(1991, 2024)));
        m_out.line(shaped(*m_linkEntry, keywordLine(m_random, Style{"", s.column},
                                                    spelling(m_random, *m_linkEntry),
                                                    name + " " + aka)));
        // Aka first, then as many other per-link keywords as planned, each at most once, in
        // the table's order or in a shuffled one.
        std::vector<const vog::KeywordRow *> rows = m_perLink;
        const auto akaRow = std::find_if(rows.begin(), rows.end(), [](const vog::KeywordRow *e) {
            return e->keyword == "aka";
        });
        std::iter_swap(rows.begin(), akaRow);
        const int count = plan.perLink[std::size_t(index)];
        for (int i = 1; i < count; ++i)
            std::swap(rows[std::size_t(i)], rows[std::size_t(r().between(i, int(rows.size()) - 1))]);
        if (r().chance(60))
            std::sort(rows.begin() + 1, rows.begin() + count);
        m_out.line(shaped(*rows[0], keywordLine(m_random, s, spelling(m_random, *rows[0]), aka)));
        ++m_facts.linkLines;
        // The last lines in a condition, a hub's own values of the same keywords before them.
        const int hub = plan.hubLines.empty() ? 0 : plan.hubLines[std::size_t(index)];
        for (int i = 1; i < count; ++i) {
            if (i == count - hub) {
                ifHub(s.indent);
                m_inEffect = false;
                for (int k = i; k < count; ++k)
                    linkLine(s, *rows[std::size_t(k)], m_grammar);
                m_inEffect = true;
                directive(s.indent + "else");
            }
            linkLine(s, *rows[std::size_t(i)]);
        }
        if (hub)
            endIf(s.indent);
        if (plan.decorated[std::size_t(index)] & 2)
            m_out.line("");
    }

    // Per cent of the list lines that go to each list keyword, in the long lists at the top
    // and in the short blocks between link sections.
    static int listShare(const vog::KeywordRow &e, bool atTop)
    {
        const QByteArrayView k = e.keyword;
        if (k == "route")
            return atTop ? 30 : 40;
        if (k == "remap")
            return 15;
        if (k == "include")
            return atTop ? 20 : 15;
        if (k == "routefile" || k == "routemail")
            return 10;
        if (k == "pack")
            return atTop ? 10 : 5;
        return 5; // unpack
    }

    void listBlock(std::int64_t most)
    {
        block();
        const Style s = pickStyle(m_random, false);
        int roll = r().below(100);
        const vog::KeywordRow *list = m_lists.front();
        for (const vog::KeywordRow *e : m_lists) {
            list = e;
            roll -= listShare(*e, false);
            if (roll < 0)
                break;
        }
        for (std::int64_t n = std::min<std::int64_t>(most, r().between(1, 8)); n > 0; --n)
            listLine(s, *list);
    }

    // Lines the reader passes over, or general keywords given again. Returns the lines written.
    std::int64_t fillerBlock(std::int64_t most)
    {
        block();
        const std::int64_t before = m_facts.lines;
        const Style s = pickStyle(m_random, false);
        if (m_options.fullGrammar && most >= 3 && m_grammar.chance(3)) {
            hubBlock(s, most);
            return m_facts.lines - before;
        }
        const int roll = r().below(100);
        int n = int(std::min<std::int64_t>(most, r().between(1, 6)));
        if (roll < 55) {
            // Area definitions: a keyword the reader doesn't know.
            for (; n > 0; --n) {
                const std::string echo = echoName(m_random);
                m_out.line(keywordLine(m_random, s, anyCase(m_random, "EchoArea"), echo + " "
                                       + path(m_random, lowerAscii(echo).c_str()) + " -b Squish -a "
                                       + address(m_random) + " -g " + groups(m_random) + " "
                                       + address(m_random) + " " + address(m_random)));
            }
        } else if (roll < 80) {
            for (; n > 0; --n)
                m_out.line(r().chance(20) ? "   #" + std::string(40, '=')
                                          : "# " + personName(m_random, m_words) + m_words.askedFor
                                                + echoName(m_random) + m_words.on + number(r().between(1, 28))
                                                + "." + number(r().between(1, 12)));
        } else if (roll < 90) {
            for (; n > 0; --n)
                m_out.line(r().chance(80) ? "" : " \t ");
        } else if (roll < 97) {
            // Lines that look like keywords but carry none: alone or before a comment (a
            // keyword that needs a value; a switch alone would be On), glued on.
            for (; n > 0; --n) {
                const vog::KeywordRow &e = *m_perLink[std::size_t(r().below(int(m_perLink.size())))];
                const int form = vog::offersOn(e) ? 2 : r().below(3);
                const std::string k = spelling(m_random, e);
                m_out.line(form == 0 ? k : form == 1 ? k + "\t# " + linkValue(m_random, e.keyword)
                                                     : k + "=" + linkValue(m_random, e.keyword));
            }
        } else {
            for (; n > 0; --n)
                generalLine(s, *m_general[std::size_t(r().below(int(m_general.size())))]);
        }
        return m_facts.lines - before;
    }

    // The areas block of a hub: every area once, its base, purge days, group and description,
    // and the downlinks that get it, some read only.
    void areas()
    {
        if (m_options.areaLines <= 0)
            return;
        Random r(m_options.seed * 7919 + 17);
        std::vector<std::string> downlinks;
        for (int i = 0; i < 400; ++i)
            downlinks.push_back("2:" + number(5000 + i % 60) + "/" + number(1 + (i * 37) % 997));
        m_out.line("");
        comment("---- areas " + std::string(60, '-'));
        static const char *const Bases[] = {"Squish", "Jam", "Msg"};
        for (int i = 0; i < m_options.areaLines; ++i) {
            const std::string tag = echoName(r) + "." + number(i);
            std::string line = anyCase(r, "EchoArea") + " " + tag + " "
                + (r.chance(10) ? "Passthrough" : path(r, lowerAscii(tag).c_str()));
            line += " -b " + std::string(r.pick(Bases)) + " -p " + number(r.between(7, 90));
            line += " -g " + std::string(1, char('A' + r.below(8)));
            line += " -d \"" + std::string(r.pick(EchoWords)) + " " + r.pick(EchoGroups)
                + " talk\"";
            if (r.chance(20))
                line += " -h";
            std::vector<int> taken;
            for (int n = r.between(1, 40); n > 0; --n) {
                int k = r.below(int(downlinks.size()));
                while (std::find(taken.begin(), taken.end(), k) != taken.end())
                    k = (k + 1) % int(downlinks.size());
                taken.push_back(k);
                line += " " + downlinks[std::size_t(k)];
                if (r.chance(10))
                    line += " -r";
                ++m_facts.areaLinks;
            }
            m_out.line(line);
            ++m_facts.areaLines;
        }
    }

    void generalLine(const Style &s, const vog::KeywordRow &e)
    {
        keywordOut(e, keywordLine(m_random, s, spelling(m_random, e), generalValue(m_random, m_words, e)));
    }
    void listLine(const Style &s, const vog::KeywordRow &e)
    {
        keywordOut(e, keywordLine(m_random, s, spelling(m_random, e), listValue(m_random, m_words, e.keyword)));
        if (m_inEffect)
            ++m_facts.listLines;
    }
    void linkLine(const Style &s, const vog::KeywordRow &e) { linkLine(s, e, m_random); }
    void linkLine(const Style &s, const vog::KeywordRow &e, Random &r)
    {
        keywordOut(e, keywordLine(r, s, spelling(r, e), linkValue(r, e.keyword)));
        if (m_inEffect)
            ++m_facts.linkLines;
    }
    void keywordOut(const vog::KeywordRow &e, const std::string &line)
    {
        m_out.line(shaped(e, line));
        if (!m_inEffect)
            ++m_facts.hiddenLines;
    }

    // ---- the rest of the grammar (fullGrammar) ----

    // A keyword line as the whole grammar lets it be written: a tab between keyword and value,
    // a switch that is on written alone, a path through a variable, a trailing comment. The
    // standard file's lines stay as they were laid out.
    std::string shaped(const vog::KeywordRow &e, const std::string &line)
    {
        if (!m_options.fullGrammar)
            return line;
        Random &g = m_grammar;
        // The parts as keywordLine() lays them out: indent and keyword, blanks, value, blanks.
        const std::size_t keyEnd = line.find_first_not_of(" \t") + std::size_t(e.keyword.size());
        const std::size_t valueStart = std::min(line.find_first_not_of(' ', keyEnd), line.size());
        const std::size_t valueEnd = std::max(line.find_last_not_of(" \t") + 1, valueStart);
        std::string separator = line.substr(keyEnd, valueStart - keyEnd);
        std::string value = line.substr(valueStart, valueEnd - valueStart);
        std::string tail = line.substr(valueEnd);
        const std::string word = lowerAscii(value);
        if (vog::offersOn(e) && (word == "on" || word == "yes") && g.chance(60)) {
            separator.clear();
            value.clear();
        } else {
            if (g.chance(15))
                separator = separator.size() > 8 ? "\t\t" : "\t";
            for (const Variable &v : Variables) {
                const std::size_t root = std::strlen(v.root);
                if (value.compare(0, root, v.root) == 0 && value.size() > root && value[root] == '/') {
                    if (g.chance(40))
                        value = "[" + std::string(v.name) + "]" + value.substr(root);
                    break;
                }
            }
        }
        if (g.chance(6))
            tail += g.pick(TrailingComments);
        return line.substr(0, keyEnd) + separator + value + tail;
    }

    void directive(const std::string &text)
    {
        m_out.line(text);
        ++m_facts.directiveLines;
        if (!m_inEffect && !isCondition(text))
            ++m_facts.hiddenLines;
    }
    static bool isCondition(const std::string &text)
    {
        const std::string word = lowerAscii(text.substr(text.find_first_not_of(" \t")));
        return word.rfind("if", 0) == 0 || word.rfind("else", 0) == 0 || word.rfind("endif", 0) == 0;
    }
    void ifHub(const std::string &indent)
    {
        // Drawn one after the other: the order of a call's arguments is the compiler's.
        const char *word = m_grammar.chance(20) ? "If " : "if ";
        const char *test = m_grammar.pick(HubTests);
        directive(indent + word + test);
    }
    void endIf(const std::string &indent)
    {
        directive(indent + (m_grammar.chance(25) ? "endif   # hub" : "endif"));
    }

    // The variables, some set in conditions (one nested in a branch not taken); their words
    // are fixed. The standard file has none of these lines.
    void variables()
    {
        const auto set = [this](const char *text) { directive(std::string("set ") + text); };
        set("FIDO=/home/fido");
        set("SPOOL=/var/spool/vog");
        directive("if \"[OS]\"==\"UNIX\"");
        set("ETC=/etc/vog");
        set("SRV = /srv/ftn");
        directive("else");
        m_inEffect = false;
        set("ETC=c:\\fido\\etc");
        set("SRV=c:\\ftn");
        m_inEffect = true;
        directive("endif");
        directive("if \"[module]\"==\"hub\"");
        m_inEffect = false;
        set("LIB=/var/lib/vog-hub");
        directive("ifdef LIB");
        set("SPOOL=[LIB]/spool");
        directive("endif");
        m_inEffect = true;
        directive("else");
        set("LIB=/var/lib/vog");
        directive("endif");
        m_out.line("");
    }

    // Filler in a condition: a hub's own general keywords and routes, then, with room for an
    // else, the general keywords of everyone else. At most `most` lines, and 3 at least.
    void hubBlock(const Style &s, std::int64_t most)
    {
        Random &g = m_grammar;
        const bool withElse = most >= 5;
        const int hub = g.between(1, int(std::min<std::int64_t>(4, most - (withElse ? 4 : 2))));
        const int others = withElse ? g.between(1, int(std::min<std::int64_t>(4, most - 3 - hub))) : 0;
        ifHub(s.indent);
        m_inEffect = false;
        for (int n = 0; n < hub; ++n) {
            if (g.chance(50))
                listLine(s, *m_route);
            else
                generalLine(s, *m_general[std::size_t(g.below(int(m_general.size())))]);
        }
        m_inEffect = true;
        if (withElse) {
            directive(s.indent + "else");
            for (int n = 0; n < others; ++n)
                generalLine(s, *m_general[std::size_t(g.below(int(m_general.size())))]);
        }
        endIf(s.indent);
    }

    Random &r() { return m_random; }

    GeneratorOptions m_options;
    const Words &m_words;
    Random m_random;
    Random m_grammar; // fullGrammar's choices, which the standard file never draws
    bool m_inEffect = true; // false while a branch not taken is written: its lines don't count
    GeneratedFile m_facts;
    Writer m_out;
    const vog::KeywordRow *m_linkEntry = nullptr;
    const vog::KeywordRow *m_route = nullptr;
    std::vector<const vog::KeywordRow *> m_perLink;
    std::vector<const vog::KeywordRow *> m_lists;
    std::vector<const vog::KeywordRow *> m_general;
};

} // namespace

GeneratorOptions GeneratorOptions::scaled(double factor, std::uint64_t seed)
{
    GeneratorOptions o;
    o.lines = std::llround(double(o.lines) * factor);
    o.links = int(std::lround(double(o.links) * factor));
    o.listLines = std::llround(double(o.listLines) * factor);
    o.seed = seed;
    return o;
}

GeneratorOptions GeneratorOptions::hub(std::uint64_t seed)
{
    GeneratorOptions o;
    o.lines = 0; // no filler: only what the sections and lists need
    o.listLines = 1000;
    o.fewestLinkLines = 3;
    o.mostLinkLines = 12;
    o.seed = seed;
    return o;
}

GeneratedFile generateConfig(const GeneratorOptions &options, const QString &path)
{
    GeneratedFile facts = Generator(options, path).run();
    facts.links = options.links;
    return facts;
}

} // namespace vogbench
