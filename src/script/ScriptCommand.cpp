#include "ScriptCommand.h"

#include "ConfigCheck.h"

#include "document/ConfigDocument.h"
#include "document/AreaLines.h"
#include "document/DocumentRead.h"
#include "document/IncludeWalk.h"
#include "document/SafeWrite.h"
#include "document/SaveSteps.h"
#include "reader/ConfigFile.h"
#include "reader/Errors.h"
#include "reader/KeywordTable.h"
#include "reader/LineGrammar.h"
#include "reader/LinkStore.h"
#include "reader/Text.h"
#include "reader/ValueRules.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>

namespace vog {

namespace {

// clang-format off
const QStringList CommandOptions{"--get", "--list", "--links", "--check", "--set", "--unset", "--add",
                                 "--areas", "--new-link", "--rename-link", "--remove-link",
                                 "--new-area", "--remove-area", "--subscribe", "--unsubscribe",
                                 "--area"};
const QStringList ValueOptions{"--get", "--link", "--set", "--unset", "--add", "--module",
                               "--new-link", "--aka", "--like", "--rename-link", "--remove-link",
                               "--new-area", "--remove-area", "--subscribe", "--unsubscribe",
                               "--area", "--filter"};
// Those that take a second value after the first.
const QStringList PairOptions{"--rename-link", "--new-area"};
const QStringList FlagOptions{"--list", "--links", "--check", "--include", "--dry-run", "--areas",
                              "--keep-areas"};
// The words of an area that --area changes, by the names of the window's fields.
const QStringList AreaWords{"AreaPath", "AreaBase", "AreaGroup", "AreaDescription", "AreaAka",
                            "AreaPurge", "AreaMaxMsgs", "AreaOptions"};
// clang-format on

// One change of the command, in the order given: a value, a link or an area.
struct Edit
{
    enum Kind {
        Set, Unset, Add,               // a keyword's value
        NewLink, RenameLink, RemoveLink,
        NewArea, RemoveArea, Subscribe, Unsubscribe,
        AreaSet, AreaUnset             // a word of an area
    } kind;
    QString keyword; // the keyword, or the area's word
    QString value;
    QString name;    // the link or the area the command names
    QString second;  // --new-link's --aka, --rename-link's new name, --new-area's path
    QString like;
    bool hasLike = false;
    bool keepAreas = false;
    QStringList patterns;
};

// What the command line asks for.
struct Request
{
    enum Mode { None, Get, List, Links, Check, Areas, Change } mode = None;
    QString keyword; // --get
    QString link;
    bool hasLink = false;
    bool include = false;
    bool dryRun = false;
    QString module; // what [module] stands for
    QString filter; // --areas
    bool hasFilter = false;
    std::vector<Edit> edits; // in the order given
    QString file;
};

[[noreturn]] void fail(const QString &message)
{
    throw CommandError(message);
}

Edit edit(Edit::Kind kind, const QString &keyword = {}, const QString &value = {})
{
    Edit e{kind, keyword, value, {}, {}, {}, false, false, {}};
    return e;
}

Request parse(const QStringList &arguments)
{
    Request r;
    // The arguments that are no option, each with the --subscribe or --unsubscribe whose
    // patterns it may be (-1 for none); the last of them is the file.
    std::vector<std::pair<QString, int>> words;
    int patternsOf = -1;
    QString area; // the last --area's tag
    bool hasArea = false;
    bool optionsEnd = false;
    const auto setMode = [&](Request::Mode mode, const QString &option) {
        if (r.mode != Request::None && !(r.mode == Request::Change && mode == Request::Change))
            fail(option + QStringLiteral(" can't be given with --get, --list, --links, --check, "
                                         "--areas or another of them"));
        r.mode = mode;
    };
    const auto keywordAndValue = [&](const QString &option, const QString &value, Edit::Kind kind) {
        const qsizetype equals = value.indexOf(QLatin1Char('='));
        if (equals <= 0)
            fail(option + QStringLiteral(" takes KEYWORD=VALUE, not \"") + value
                 + QLatin1Char('"'));
        r.edits.push_back(edit(kind, value.left(equals), value.mid(equals + 1)));
    };
    // A word of an area goes to the last --area; any other name is a keyword.
    const auto areaWord = [&](const QString &option, const QString &name) {
        for (const QString &word : AreaWords)
            if (word.compare(name, Qt::CaseInsensitive) == 0) {
                if (!hasArea)
                    fail(option + QLatin1Char(' ') + word
                         + QStringLiteral(" goes after --area TAG"));
                return word;
            }
        return QString();
    };
    // The command an option such as --aka belongs to: the last one given, of these kinds.
    const auto last = [&](const QString &option, std::initializer_list<Edit::Kind> kinds) -> Edit & {
        if (r.edits.empty()
            || std::find(kinds.begin(), kinds.end(), r.edits.back().kind) == kinds.end())
            fail(option + QStringLiteral(" goes right after the command it belongs to"));
        return r.edits.back();
    };
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (!optionsEnd && argument == QLatin1String("--")) {
            optionsEnd = true;
            continue;
        }
        if (optionsEnd || !argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("-")) {
            words.emplace_back(argument, patternsOf);
            continue;
        }
        patternsOf = -1;
        QString option = argument;
        QString value;
        QString second;
        bool hasValue = false;
        if (const qsizetype equals = argument.indexOf(QLatin1Char('='));
            equals > 0 && argument.startsWith(QLatin1String("--"))) {
            option = argument.left(equals);
            value = argument.mid(equals + 1);
            hasValue = true;
        }
        if (ValueOptions.contains(option)) {
            if (!hasValue) {
                if (i + 1 >= arguments.size())
                    fail(option + QStringLiteral(" needs a value"));
                value = arguments[++i];
            }
            if (PairOptions.contains(option)) {
                if (i + 1 >= arguments.size())
                    fail(option + QStringLiteral(" needs two values"));
                second = arguments[++i];
            }
        } else if (!FlagOptions.contains(option)) {
            fail(QStringLiteral("unknown option ") + argument);
        } else if (hasValue) {
            fail(option + QStringLiteral(" takes no value"));
        }
        if (option == QLatin1String("--get")) {
            setMode(Request::Get, option);
            r.keyword = value;
        } else if (option == QLatin1String("--list")) {
            setMode(Request::List, option);
        } else if (option == QLatin1String("--links")) {
            setMode(Request::Links, option);
        } else if (option == QLatin1String("--check")) {
            setMode(Request::Check, option);
        } else if (option == QLatin1String("--areas")) {
            setMode(Request::Areas, option);
        } else if (option == QLatin1String("--filter")) {
            r.filter = value;
            r.hasFilter = true;
        } else if (option == QLatin1String("--set") || option == QLatin1String("--add")) {
            setMode(Request::Change, option);
            const bool set = option == QLatin1String("--set");
            keywordAndValue(option, value, set ? Edit::Set : Edit::Add);
            const QString word = set ? areaWord(option, r.edits.back().keyword) : QString();
            if (!word.isEmpty()) {
                r.edits.back().kind = Edit::AreaSet;
                r.edits.back().keyword = word;
                r.edits.back().name = area;
            }
        } else if (option == QLatin1String("--unset")) {
            setMode(Request::Change, option);
            const QString word = areaWord(option, value);
            r.edits.push_back(word.isEmpty() ? edit(Edit::Unset, value)
                                             : edit(Edit::AreaUnset, word));
            r.edits.back().name = area;
        } else if (option == QLatin1String("--area")) {
            setMode(Request::Change, option);
            area = value;
            hasArea = true;
        } else if (option == QLatin1String("--link")) {
            if (r.hasLink)
                fail(QStringLiteral("--link is given twice"));
            r.hasLink = true;
            r.link = value;
        } else if (option == QLatin1String("--include")) {
            r.include = true;
        } else if (option == QLatin1String("--module")) {
            r.module = value;
        } else if (option == QLatin1String("--dry-run")) {
            r.dryRun = true;
        } else if (option == QLatin1String("--aka")) {
            Edit &e = last(option, {Edit::NewLink});
            if (!e.second.isNull())
                fail(QStringLiteral("--aka is given twice"));
            e.second = value;
        } else if (option == QLatin1String("--like")) {
            Edit &e = last(option, {Edit::NewLink, Edit::NewArea});
            e.like = value;
            e.hasLike = true;
        } else if (option == QLatin1String("--keep-areas")) {
            last(option, {Edit::RemoveLink}).keepAreas = true;
        } else {
            // A command on a link or an area.
            static const std::pair<const char *, Edit::Kind> commands[] = {
                    {"--new-link", Edit::NewLink},     {"--rename-link", Edit::RenameLink},
                    {"--remove-link", Edit::RemoveLink}, {"--new-area", Edit::NewArea},
                    {"--remove-area", Edit::RemoveArea}, {"--subscribe", Edit::Subscribe},
                    {"--unsubscribe", Edit::Unsubscribe}};
            for (const auto &[name, kind] : commands)
                if (option == QLatin1String(name)) {
                    setMode(Request::Change, option);
                    Edit e = edit(kind);
                    e.name = value;
                    e.second = second;
                    r.edits.push_back(e);
                    if (kind == Edit::Subscribe || kind == Edit::Unsubscribe)
                        patternsOf = int(r.edits.size()) - 1;
                }
        }
    }
    // The last word is the file; the others are patterns of the command they follow.
    QStringList files;
    for (std::size_t k = 0; k < words.size(); ++k) {
        const auto &[word, of] = words[k];
        if (of >= 0 && k + 1 < words.size())
            r.edits[std::size_t(of)].patterns.append(word);
        else
            files.append(word);
    }
    if (r.mode == Request::None)
        fail(QStringLiteral("--include, --link and --dry-run go with --get, --list, --links, "
                            "--check, --areas or a change"));
    if (r.dryRun && r.mode != Request::Change)
        fail(QStringLiteral("--dry-run goes with a change"));
    if (r.hasLink && (r.mode == Request::Links || r.mode == Request::Check))
        fail(QStringLiteral("--link goes with --get, --list, --areas or a change"));
    if (r.hasFilter && r.mode != Request::Areas)
        fail(QStringLiteral("--filter goes with --areas"));
    for (const Edit &e : r.edits) {
        if (e.kind == Edit::NewLink && e.second.isNull())
            fail(QStringLiteral("--new-link %1 needs --aka ADDRESS").arg(e.name));
        if ((e.kind == Edit::Subscribe || e.kind == Edit::Unsubscribe) && e.patterns.isEmpty())
            fail(QStringLiteral("--%1 %2 needs a PATTERN")
                         .arg(e.kind == Edit::Subscribe ? "subscribe" : "unsubscribe", e.name));
    }
    if (files.size() != 1)
        fail(files.isEmpty() ? QStringLiteral("name the configuration file")
                             : QStringLiteral("name one configuration file, not %1")
                                       .arg(files.size()));
    r.file = files.constFirst();
    return r;
}

LinkStore &links()
{
    return document().links();
}

struct NoSink final : public ConfigSink
{
    void windowValue(const KeywordLine &) override {}
    void linkStarted(const KeywordLine &, int) override {}
};

// What a command on links and areas as a whole uses of a read, if it is one: of the links their
// names and addresses and the lines that bound their sections, the area lines, and of the
// windows' lines those a removed section leaves standing. Any change of a keyword's value needs
// every line of its link.
std::optional<ReadScope> linksAndAreasScope(const Request &r)
{
    bool removes = false;
    for (const Edit &edit : r.edits) {
        if (edit.kind == Edit::Set || edit.kind == Edit::Unset || edit.kind == Edit::Add)
            return std::nullopt;
        removes = removes || edit.kind == Edit::RemoveLink;
    }
    if (r.mode != Request::Change && r.mode != Request::Links && r.mode != Request::Areas)
        return std::nullopt;
    static const KeywordRow *aka = rowNamed("Aka");
    static const KeywordRow *defaults = rowNamed("LinkDefaults");
    static const KeywordRow *include = rowNamed("Include");
    ReadScope scope;
    scope.areaLines = r.mode != Request::Links;
    scope.rows.resize(keywordTable().size());
    for (const KeywordRow &row : keywordTable())
        scope.rows[std::size_t(row.index)] = row.kind == ValueKind::LinkName || &row == aka
                || &row == defaults || (removes && row.place != Place::Link)
                || (r.include && &row == include);
    return scope;
}

// What the command uses of a read. One that asks for window keywords alone needs no link record
// and no area line, and of the lines only those of its keywords and, with --include, the
// includes; any other reads everything. A value that no file sets is placed after the last line
// of its window: `placing` keeps every line of the windows of the keywords changed.
ReadScope scopeOf(const Request &r, bool placing)
{
    if (const std::optional<ReadScope> whole = linksAndAreasScope(r))
        return *whole;
    std::vector<const KeywordRow *> asked;
    if (r.mode == Request::Get) {
        asked.push_back(findKeyword(lowered(r.keyword.toUtf8())));
    } else if (r.mode == Request::Change) {
        for (const Edit &edit : r.edits)
            asked.push_back(findKeyword(lowered(edit.keyword.toUtf8())));
    } else if (r.mode == Request::List && !r.hasLink) {
        for (const KeywordRow &row : keywordTable())
            if (row.place != Place::Link)
                asked.push_back(&row);
    }
    if (asked.empty())
        return {};
    ReadScope scope;
    scope.rows.resize(keywordTable().size());
    for (const KeywordRow *row : asked) {
        if (!row || row->place == Place::Link)
            return {};
        for (const KeywordRow &other : keywordTable())
            if (placing ? other.place == row->place : &other == row)
                scope.rows[std::size_t(other.index)] = true;
    }
    if (r.include)
        scope.rows[std::size_t(rowNamed("Include")->index)] = true;
    scope.linkCells = false;
    scope.areaLines = false;
    return scope;
}

// Whether a change of the command sets a keyword that no line read sets, which is placed
// after the last line of its window.
bool placesValue(const Request &r)
{
    for (const Edit &edit : r.edits)
        if (edit.kind != Edit::Unset)
            if (const KeywordRow *row = findKeyword(lowered(edit.keyword.toUtf8()));
                row && document().linesOf(*row).empty())
                return true;
    return false;
}

// The bytes each file was read from, by file, and the mappings that hold them.
struct KeptBytes
{
    std::map<int, QByteArray> bytes;
    std::vector<std::shared_ptr<const void>> mappings;
};

// Reads the file, and with --include the files it includes as "Open all included files" does,
// into the document and the link records, as far as the scope goes. check, if given, is the
// sink and sees each file's beginning and end. kept, if given, keeps each file's bytes, read in
// one block, by file. An included file that can't be read is reported on err, and the rest
// is read.
void readFiles(const Request &r, ConfigSink &sink, ConfigCheck *check, QByteArray &err,
               const ReadScope &scope = {}, KeptBytes *kept = nullptr)
{
    chooseModule(r.module.toUtf8());
    ConfigDocument &doc = document();
    static const KeywordRow &include = *rowNamed("Include");
    const auto readOne = [&](const QString &path, const QString &name, bool isMain,
                             const Origin &from, IncludedRead &read) {
        ConfigFile file(path);
        read.file = addFileToRead(path);
        if (check)
            check->beginFile(read.file, name);
        std::optional<LineReader> lines;
        if (kept) {
            // A long file is mapped, not copied: the save's new bytes are pieces of it.
            kept->mappings.emplace_back();
            lines.emplace(kept->bytes[read.file] =
                                  readWhole(file.descriptor(), kept->mappings.back()));
            // The area lines stay where they stand in those bytes, not copied.
            doc.areas().borrow(read.file, kept->bytes[read.file], kept->mappings.back());
        }
        else
            lines.emplace(file.descriptor());
        readDocumentFile(*lines, read.file, isMain, sink, scope, from);
        if (kept && isMain)
            doc.bytesRead(read.file, kept->bytes[read.file]);
        if (check)
            check->endFile();
        // Without --include the names of the files included go unused.
        if (r.include)
            for (const ValueLine *line : lastFileLines(include, read.file)) {
                read.includes.append(doc.valueText(*line));
                read.origins.push_back(line->origin());
            }
    };
    IncludedRead main;
    readOne(r.file, r.file, true, {}, main);
    if (!r.include)
        return;
    walkIncludes(
            main.includes, main.origins,
            [&](const QString &path, const Origin &from, IncludedRead &read) {
                readOne(path, path, false, from, read);
            },
            [&](const QString &, const Origin &line, const QString &name, const CommandError &why) {
                const auto *io = dynamic_cast<const IoError *>(&why);
                const QString reason = io && io->systemError() > 0
                        ? QString::fromLocal8Bit(std::strerror(io->systemError()))
                        : why.message();
                err += "vog-config: "
                        + (sourceFile(line.file).path + QLatin1Char(':')
                           + QString::number(line.line) + QStringLiteral(": ") + name
                           + QStringLiteral(" can't be read: ") + reason)
                                  .toUtf8()
                        + '\n';
            });
}

const KeywordRow &keywordRow(const QString &name)
{
    const KeywordRow *row = findKeyword(lowered(name.toUtf8()));
    if (!row)
        fail(QStringLiteral("unknown keyword ") + name);
    return *row;
}

QString nameOf(const KeywordRow &row)
{
    return QString::fromLatin1(row.name);
}

// The link named so, or with this Aka address; a name before an address, a name in its own
// letter case before one in another.
int findLink(const QString &link)
{
    const LinkStore &store = links();
    std::vector<int> named, namedInAnotherCase;
    for (int column = 1; column < store.columnCount(); ++column) {
        const QString name = store.cellText(column, linkNameRow());
        if (name == link)
            named.push_back(column);
        else if (name.compare(link, Qt::CaseInsensitive) == 0)
            namedInAnotherCase.push_back(column);
    }
    std::vector<int> addressed = document().linksWithAddress(link);
    for (const std::vector<int> *found : {&named, &addressed, &namedInAnotherCase}) {
        if (found->size() > 1)
            fail(QStringLiteral("%1 links have the name or address %2").arg(found->size()).arg(link));
        if (found->size() == 1)
            return found->front();
    }
    fail(QStringLiteral("no link has the name or address ") + link);
}

// The column of the record a keyword is read from: -1 for a window's, the link's for a link's.
int columnFor(const KeywordRow &row, const Request &r)
{
    if (row.place != Place::Link)
        return -1;
    if (!r.hasLink)
        fail(nameOf(row) + QStringLiteral(" is a link's keyword: name the link with --link"));
    return findLink(r.link);
}

// The value in effect for a keyword, as the document says it; none when nothing sets it.
struct Value
{
    QByteArray bytes;
    Origin origin;
};
std::optional<Value> inEffect(const KeywordRow &row, int column)
{
    const InEffect e = document().inEffect(row, column);
    if (!e.isSet())
        return std::nullopt;
    return Value{e.words, e.origin};
}

// The option of a link's radio choice captioned as the one its window field selects.
int followedDefault(const KeywordRow &row)
{
    if (!row.radio || !row.radio->followsField)
        return -1;
    const KeywordRow &followed = *rowNamed(row.radio->followsField);
    const std::optional<Value> v = inEffect(followed, -1);
    const int option = v ? fieldState(followed, v->bytes).option : -1;
    if (option < 0)
        return -1;
    const char *caption = followed.radio->options[std::size_t(option)].caption;
    const std::vector<RadioOption> &own = row.radio->options;
    for (std::size_t i = 0; i < own.size(); ++i)
        if (std::strcmp(own[i].caption, caption) == 0)
            return int(i);
    return -1;
}

// What the keyword's field shows: a line list's lines, one value otherwise; none when
// nothing sets it.
QStringList shown(const KeywordRow &row, int column)
{
    const ConfigDocument &doc = document();
    if (row.kind == ValueKind::LineList) {
        QStringList lines;
        for (const ValueLine *line : doc.linesOf(row))
            lines.append(doc.valueText(*line));
        return lines;
    }
    const std::optional<Value> v = inEffect(row, column);
    if (!v)
        return {};
    if (!row.comparesWords())
        return {sourceFile(v->origin.file).codec.decode(v->bytes)};
    FieldState state;
    try {
        state = fieldState(row, v->bytes, v->origin.line, followedDefault(row));
    } catch (const NumberError &e) {
        fail(sourceFile(v->origin.file).path + QStringLiteral(": ") + nameOf(row)
             + QStringLiteral(": ") + e.message());
    }
    if (row.kind == ValueKind::Radio && state.option < 0)
        return {};
    return {QString::fromLatin1(shownState(row, state))};
}

// A line list's lines as the changes so far left them.
QStringList currentLines(const KeywordRow &row)
{
    if (const Change *c = document().change(row); c && c->kind == Change::Lines)
        return c->lines;
    return shown(row, -1);
}

void change(const Request &r, const Edit &edit)
{
    ConfigDocument &doc = document();
    const KeywordRow &row = keywordRow(edit.keyword);
    if (row.kind == ValueKind::LinkName || !row.shown)
        fail(nameOf(row) + QStringLiteral(" is not changed from the command line"));
    const int column = columnFor(row, r);
    const bool list = row.kind == ValueKind::LineList;
    if (edit.kind == Edit::Add) {
        if (!list)
            fail(nameOf(row) + QStringLiteral(" takes one value: use --set"));
        doc.setLines(row, currentLines(row) << edit.value);
    } else if (edit.kind == Edit::Unset) {
        if (list)
            doc.setLines(row, {});
        else
            doc.removeValue(row, column);
    } else if (list) {
        doc.setLines(row, {edit.value});
    } else {
        const QByteArray typed = edit.value.toUtf8();
        FieldState state;
        QByteArray why;
        if (!typedState(row, typed, state, why))
            fail(nameOf(row) + QStringLiteral(": \"") + edit.value
                 + QStringLiteral("\" can't be set: the field ") + QString::fromUtf8(why));
        doc.setValue(row, column,
                     row.comparesWords() ? QString::fromLatin1(stateWords(row, state))
                                         : edit.value);
    }
}

// A refusal of the windows, without its closing full stop.
void refuse(QString why)
{
    if (why.isEmpty())
        return;
    if (why.endsWith(QLatin1Char('.')))
        why.chop(1);
    fail(why);
}

AreaLines &areas()
{
    return document().areas();
}

// Whether the tag matches the pattern: * any run of characters, ? any one, without regard to
// letter case (folded by `fold`).
template <typename Text, typename Fold>
bool wildcardMatches(const Text &pattern, const Text &tag, Fold fold)
{
    qsizetype p = 0, t = 0, star = -1, from = 0;
    while (t < tag.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            from = t;
        } else if (p < pattern.size()
                   && (pattern[p] == '?' || fold(pattern[p]) == fold(tag[t]))) {
            ++p;
            ++t;
        } else if (star >= 0) {
            p = star + 1;
            t = ++from;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

bool matches(QStringView pattern, QStringView tag)
{
    return wildcardMatches(pattern, tag, [](QChar c) { return c.toCaseFolded(); });
}

// The areas, not removed, whose tags match any of the patterns, in file order; each pattern
// must match one at least.
std::vector<int> matchingAreas(const QStringList &patterns)
{
    std::vector<int> found;
    std::vector<bool> used(std::size_t(patterns.size()), false);
    // Tags and patterns of plain ASCII, most of them, are compared as bytes: a hub has tens
    // of thousands of areas to look at.
    QByteArrayList asciiPatterns;
    for (const QString &pattern : patterns)
        if (std::all_of(pattern.begin(), pattern.end(), [](QChar c) { return c.unicode() < 0x80; }))
            asciiPatterns.append(pattern.toLatin1());
    const bool bytes = asciiPatterns.size() == patterns.size();
    const auto lower = [](char c) { return lowerAscii(c); };
    for (int i = 0; i < areas().count(); ++i) {
        if (areas().isRemoved(i))
            continue;
        QByteArrayView asciiTag;
        const bool asBytes = bytes && areas().asciiTag(i, asciiTag);
        const QString tag = asBytes ? QString() : areas().tag(i);
        bool any = false;
        for (qsizetype k = 0; k < patterns.size(); ++k)
            if (asBytes ? wildcardMatches(QByteArrayView(asciiPatterns[k]), asciiTag, lower)
                        : matches(patterns[k], tag))
                any = used[std::size_t(k)] = true;
        if (any)
            found.push_back(i);
    }
    for (qsizetype k = 0; k < patterns.size(); ++k)
        if (!used[std::size_t(k)])
            fail(QStringLiteral("no area matches ") + patterns[k]);
    return found;
}

// The area with this tag, without regard to letter case.
int areaTagged(const QString &tag)
{
    for (int i = 0; i < areas().count(); ++i)
        if (!areas().isRemoved(i) && areas().tag(i).compare(tag, Qt::CaseInsensitive) == 0)
            return i;
    fail(QStringLiteral("no area has the tag ") + tag);
}

// The link's addresses that a command names: the one given, where the link was named by it;
// else all of them (with `first`, the first alone).
QStringList addressesOf(const QString &link, int column, bool first)
{
    const QStringList all = document().linkAddresses(column);
    if (all.isEmpty())
        fail(QStringLiteral("the link %1 has no Aka address").arg(document().linkName(column)));
    for (const QString &address : all)
        if (address.compare(link.trimmed(), Qt::CaseInsensitive) == 0)
            return {address};
    return first ? QStringList{all.constFirst()} : all;
}

// A word of an area set as its field in the window sets it: a number as its spin box takes
// it, 0 for none; the other options split as typed.
void setAreaWord(AreaState &s, const QString &word, const QString &value)
{
    if (word == QLatin1String("AreaPath")) {
        s.path = value;
    } else if (word == QLatin1String("AreaOptions")) {
        s.options = splitAreaWords(value);
    } else if (word == QLatin1String("AreaPurge") || word == QLatin1String("AreaMaxMsgs")) {
        bool ok = value.isEmpty();
        const int n = ok ? 0 : value.toInt(&ok);
        if (!ok || n < 0 || n > AreaNumberMost)
            fail(QStringLiteral("%1: \"%2\" can't be set: the field takes a whole number from 0 "
                                "to %3")
                         .arg(word, value)
                         .arg(AreaNumberMost));
        s.fields[word == QLatin1String("AreaPurge") ? Purge : MaxMsgs] =
                n ? QString::number(n) : QString();
    } else {
        const int field = word == QLatin1String("AreaBase")    ? Base
                : word == QLatin1String("AreaGroup")           ? Group
                : word == QLatin1String("AreaDescription")     ? Description
                                                               : Aka;
        s.fields[field] = value;
    }
}

// A change of a link or an area, through the document's own commands, as its button does.
void changeLinksOrAreas(const Request &r, const Edit &e)
{
    ConfigDocument &doc = document();
    switch (e.kind) {
    case Edit::NewLink: {
        const QString name = e.name.trimmed();
        const QString address = e.second.trimmed();
        refuse(doc.linkRefusal(name, &address));
        if (e.hasLike)
            doc.copyLink(findLink(e.like), name, address);
        else
            doc.addLink(0, name, address);
        break;
    }
    case Edit::RenameLink: {
        const int column = findLink(e.name);
        const QString name = e.second.trimmed();
        refuse(doc.linkRefusal(name, nullptr, column));
        doc.renameLink(column, name);
        break;
    }
    case Edit::RemoveLink:
        doc.removeLink(findLink(e.name), !e.keepAreas);
        break;
    case Edit::Subscribe:
    case Edit::Unsubscribe: {
        const bool add = e.kind == Edit::Subscribe;
        const QStringList addresses = addressesOf(e.name, findLink(e.name), add);
        std::vector<std::pair<int, AreaState>> changed;
        for (int area : matchingAreas(e.patterns)) {
            AreaState s = areas().state(area);
            bool any = false;
            for (const QString &address : addresses)
                any = (add ? s.addLink(address) : s.removeLink(address)) || any;
            if (any)
                changed.emplace_back(area, std::move(s));
        }
        areas().setStates(changed);
        break;
    }
    case Edit::NewArea: {
        refuse(AreaLines::tagRefusal(e.name, areas().takenTags()));
        // Like the area named, else the last one: its file and its keyword's spelling.
        int like = e.hasLike ? areaTagged(e.like) : -1;
        for (int i = areas().count(); !e.hasLike && i-- > 0;)
            if (!areas().isRemoved(i)) {
                like = i;
                break;
            }
        const int added = areas().addArea(e.name, e.second, like, doc.mainFile());
        if (e.hasLike) {
            // And its options, but for the description, which is the area's own.
            const AreaState from = areas().state(like);
            AreaState s = areas().state(added);
            for (int field = 0; field < AreaFieldCount; ++field)
                if (field != Description)
                    s.fields[field] = from.fields[field];
            s.options = from.options;
            areas().setState(added, s);
        }
        break;
    }
    case Edit::RemoveArea:
        areas().removeAreas(matchingAreas({e.name}));
        break;
    case Edit::AreaSet:
    case Edit::AreaUnset: {
        const int area = areaTagged(e.name);
        AreaState s = areas().state(area);
        setAreaWord(s, e.keyword, e.kind == Edit::AreaSet ? e.value : QString());
        areas().setState(area, s);
        break;
    }
    case Edit::Set:
    case Edit::Unset:
    case Edit::Add:
        change(r, e);
        break;
    }
}

// One area a line, tab-separated: tag, kind, path, base, group, the links' addresses,
// description.
void listAreas(const Request &r, QByteArray &out)
{
    const QStringList addresses =
            r.hasLink ? document().linkAddresses(findLink(r.link)) : QStringList();
    const QByteArray needle = AreaLines::filterNeedle(r.filter);
    for (int i = 0; i < areas().count(); ++i) {
        if (areas().isRemoved(i) || !areas().filterKeeps(i, needle))
            continue;
        const AreaState s = areas().state(i);
        if (r.hasLink
            && std::none_of(addresses.begin(), addresses.end(),
                            [&](const QString &a) { return s.linkIndex(a) >= 0; }))
            continue;
        QStringList links;
        for (const AreaLink &link : s.links)
            links.append(link.address);
        const QStringList cells{s.tag,
                                QString::fromLatin1(areaKindName(s.kind())),
                                s.path.isEmpty() ? QStringLiteral("Passthrough") : s.path,
                                s.fields[Base],
                                s.fields[Group],
                                links.join(QLatin1Char(' ')),
                                s.fields[Description]};
        out += cells.join(QLatin1Char('\t')).toUtf8() + '\n';
    }
}

int run(const Request &r, QByteArray &out, QByteArray &err)
{
    NoSink none;
    if (r.mode == Request::Check) {
        ConfigCheck check;
        readFiles(r, check, &check, err);
        for (const QString &problem : check.problems())
            out += problem.toUtf8() + '\n';
        return check.problems().isEmpty() ? 0 : 1;
    }
    // With --include a change keeps every line of its windows at once: a second read would find
    // the included files read already.
    const bool placing = r.mode == Request::Change && r.include;
    const ReadScope scope = scopeOf(r, placing);
    // A save keeps the bytes the files were read from: its new bytes are pieces of them. A dry
    // run reads them again instead, to see them unchanged, as nothing written looks.
    KeptBytes kept;
    KeptBytes *keep = r.mode == Request::Change && !r.dryRun ? &kept : nullptr;
    readFiles(r, none, nullptr, err, scope, keep);
    if (r.mode == Request::Change && !placing && !scope.rows.empty() && placesValue(r)) {
        document().clear();
        kept = {};
        QByteArray again; // told once, by the first read
        readFiles(r, none, nullptr, again, scopeOf(r, true), keep);
    }
    switch (r.mode) {
    case Request::Get: {
        const KeywordRow &row = keywordRow(r.keyword);
        const QStringList lines = shown(row, columnFor(row, r));
        for (const QString &line : lines)
            out += line.toUtf8() + '\n';
        return lines.isEmpty() ? 1 : 0;
    }
    case Request::List: {
        std::vector<const KeywordRow *> rows;
        if (r.hasLink) {
            rows = rowsShownIn(Place::Link);
        } else {
            rows = rowsShownIn(Place::General);
            for (const KeywordRow *row : rowsShownIn(Place::FilesAndPaths))
                rows.push_back(row);
        }
        const int column = r.hasLink ? findLink(r.link) : -1;
        for (const KeywordRow *row : rows)
            for (const QString &line : shown(*row, column))
                out += (nameOf(*row) + QLatin1Char('=') + line).toUtf8() + '\n';
        return 0;
    }
    case Request::Links: {
        const LinkStore &store = links();
        const int aka = rowNamed("Aka")->storeRow;
        for (int column = 1; column < store.columnCount(); ++column)
            out += (store.cellText(column, linkNameRow()) + QLatin1Char('\t')
                    + store.cellText(column, aka).simplified())
                           .toUtf8()
                    + '\n';
        return 0;
    }
    case Request::Areas:
        listAreas(r, out);
        return 0;
    case Request::Change: {
        for (const Edit &edit : r.edits)
            changeLinksOrAreas(r, edit);
        // The command ends once the files are written: the document needn't follow them.
        const PreparedSave save = keep ? prepareSave(document(), kept.bytes) : prepareSave(document());
        if (!r.dryRun && !save.writes.empty())
            writeFiles(save.writes);
        for (const QString &diff : save.diffs)
            out += diff.toUtf8();
        return 0;
    }
    case Request::None:
    case Request::Check:
        break;
    }
    return 2;
}

} // namespace

bool isScriptCommand(const QStringList &arguments)
{
    bool script = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        if (a == QLatin1String("--"))
            break;
        const QString option = a.section(QLatin1Char('='), 0, 0);
        // Help and the version are answered as ever, whatever else is given.
        if (option == QLatin1String("-h") || option == QLatin1String("--help")
            || option == QLatin1String("-v") || option == QLatin1String("--version"))
            return false;
        // --module alone goes with the windows too.
        if (option == QLatin1String("--module")) {
            i += a.contains(QLatin1Char('=')) ? 0 : 1;
            continue;
        }
        if (CommandOptions.contains(option) || ValueOptions.contains(option)
            || FlagOptions.contains(option))
            script = true;
    }
    return script;
}

int runScriptCommand(const QStringList &arguments, QByteArray &out, QByteArray &err)
{
    QString message;
    try {
        return run(parse(arguments), out, err);
    } catch (const CommandError &e) {
        message = e.message();
    } catch (const std::bad_alloc &) {
        message = QStringLiteral("Out of memory");
    }
    out.clear();
    err += "vog-config: " + message.toUtf8() + '\n';
    return 2;
}

QString scriptUsage()
{
    return QStringLiteral(R"(
Commands for scripts (no window is shown; KEYWORD in any letter case; LINK is a
link's name or one of its Aka addresses):
  --get KEYWORD [--link LINK] FILE      Prints the value in effect as its field
                                        shows it (a list one line a value); exit 1
                                        when nothing sets it.
  --list [--link LINK] FILE             Prints Keyword=value for every value in
                                        effect, in the order of the window's rows.
  --links FILE                          Prints each link: its name, a tab, its Aka
                                        addresses.
  --check FILE                          Prints every problem as FILE:LINE: message;
                                        exit 1 when there is any.
  [--link LINK] [--dry-run] (--set KEYWORD=VALUE | --unset KEYWORD
        | --add KEYWORD=LINE)... FILE   Changes values as typed into their fields,
                                        saves them as File > Save does (FILE.bak
                                        kept) and prints the diff; --dry-run prints
                                        it and writes nothing.
  --areas [--link LINK] [--filter TEXT] FILE
                                        Prints each echo area: tag, kind, path,
                                        base, group, links, description, by tabs;
                                        a link's alone, those the filter keeps.
Links and echo areas, changed as the windows' buttons change them, mixed with
the changes above in one save (PATTERN: a tag with * and ?, in any case):
  --new-link NAME --aka ADDRESS [--like LINK]
                                        Adds a link, or a copy of LINK's section.
  --rename-link LINK NEWNAME            Renames a link.
  --remove-link LINK [--keep-areas]     Removes a link, and its addresses from
                                        every area unless --keep-areas.
  --subscribe LINK PATTERN...           Adds the link to the matching areas.
  --unsubscribe LINK PATTERN...         Takes it off the matching areas.
  --new-area TAG PATH [--like TAG]      Adds an area line (PATH "" for
                                        Passthrough), with --like's options.
  --remove-area PATTERN                 Removes the matching area lines.
  --area TAG (--set AreaWORD=VALUE | --unset AreaWORD)...
                                        Changes an area's AreaPath, AreaBase,
                                        AreaGroup, AreaDescription, AreaAka,
                                        AreaPurge, AreaMaxMsgs or AreaOptions.
  --include                             Reads the included files too; one that
                                        can't be read is told on standard error.
  --module NAME                         Reads the lines that compare [module] as
                                        the tosser's module NAME does.
Errors exit 2, with a message on standard error and nothing written.
Examples:
  vog-config --get Sysop /etc/tosser/config
  vog-config --link 2:5020/1 --set Level=5 --set AutoPause=30 /etc/tosser/config
  vog-config --add Route="crash 2:5020/1 2:*" --dry-run /etc/tosser/config
  vog-config --new-link "Point 7" --aka 2:5020/9999.7 --link "Point 7" \
             --set Password=secret --subscribe 2:5020/9999.7 'RU.*' /etc/tosser/config
  vog-config --remove-link "Point 7" /etc/tosser/config
)");
}

} // namespace vog
