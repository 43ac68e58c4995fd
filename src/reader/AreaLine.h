#pragma once

#include "Codepage.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace vog {

// The most a number option of an area (purge days, most messages) takes; 0 is none.
constexpr int AreaNumberMost = 9999999;

// The five keywords of an area line, in the spelling the program writes and shows.
enum class AreaKind : std::uint8_t { Echo, Local, Netmail, Bad, Dupe };
const char *areaKindName(AreaKind kind);

// What one word of an area line is.
enum class AreaRole : std::uint8_t {
    Keyword,  // EchoArea, LocalArea, ...
    Tag,
    Path,     // a path, or Passthrough
    Link,     // an address
    Flag,     // -r, -w, -mn or -def right after a link
    Option,   // a word beginning with "-"
    Value,    // the word after an option that takes one
    Other,    // any other word
    Shadowed, // an option of a field (and its value) set again later on the line
};

// The options that have a field of their own, in the order a save adds them.
enum AreaField { Base, Purge, MaxMsgs, Aka, Group, Description, AreaFieldCount };

// One word: its bytes [at, end) in the line as it stands in the file, stray CRs counted.
struct AreaWord
{
    qsizetype at = 0;
    qsizetype end = 0;
    AreaRole role = AreaRole::Other;
    std::int8_t field = -1; // Option and Value words of a field, and their shadowed ones
};

// An area line split into its words, each where it stands.
struct AreaLineWords
{
    AreaKind kind = AreaKind::Echo;
    std::vector<AreaWord> words;
};

// Whether a line (its bytes before the line end, as in the file) is an area line: its first
// word, without regard to case, is one of the five keywords, followed by a blank or a tab,
// once the line is trimmed as every keyword line. Cheap for any other line.
bool isAreaLine(QByteArrayView line, AreaKind *kind = nullptr);
// Splits an area line into its words; false if it is none.
bool splitAreaLine(QByteArrayView line, AreaLineWords &out);
// The tag of a line known to be an area line, without its quotes, as written; empty for
// none. Cheaper than a split.
QByteArrayView areaLineTag(QByteArrayView line);

// A link of an area: its address and its flags, as written.
struct AreaLink
{
    QString address;
    QStringList flags;
    QString shown() const; // "2:5020/1 -r"
    bool operator==(const AreaLink &o) const;
};

// What an area line says, in words the user reads: the keyword and tag as written, the
// fields' values (empty: not set; a description without its quotes), the other options and
// words in order, the links in order.
struct AreaState
{
    QString keyword;
    QString tag;
    QString path;
    QString fields[AreaFieldCount];
    QStringList options;
    std::vector<AreaLink> links;

    AreaKind kind() const;
    // The link with this address, without regard to case, or -1.
    int linkIndex(const QString &address) const;
    // Takes every link of this address off; whether there was one.
    bool removeLink(const QString &address);
    // Gives the area a link of this address, without flags, after its last one, unless it has
    // one; whether it had none.
    bool addLink(const QString &address);
    bool operator==(const AreaState &o) const;
    bool operator!=(const AreaState &o) const { return !(*this == o); }
};

// The state of an area line, its bytes shown in the codec.
AreaState areaState(QByteArrayView line, const AreaLineWords &words, const TextCodec &codec);
AreaState areaState(QByteArrayView line, const TextCodec &codec);


// The line's new bytes for the state wanted: each word whose value changed is replaced where it
// stands; a field the line lacks goes, with one blank before it, after the last word before
// the line's first link; an emptied field leaves with the blanks before its words; a link added
// goes after the line's last word, one blank before it; a link removed leaves with its flags
// and the blanks before them. Every other byte stays. Throws a RenderError, naming the area,
// for a character the codec can't hold or that no word can carry where the comment character
// in effect at the line is commentChar.
QByteArray rewriteAreaLine(QByteArrayView line, const AreaState &wanted, const TextCodec &codec,
                           char commentChar = '#');

// Why no word of an area line can carry this text as a value (one always in quotes, for
// `quoted`), or an empty text where one can: a control character, a quote inside quotes, a
// quote left open, a comment character that would start a comment.
QString areaWordRefusal(const QString &text, bool quoted, char commentChar = '#');

// The text of one option or other word as a line holds it, and the words of a text typed as
// the area's options, split as a line's words are.
QStringList splitAreaWords(const QString &text);

} // namespace vog
