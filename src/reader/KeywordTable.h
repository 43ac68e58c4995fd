#pragma once

#include <QByteArrayView>

#include <cstdint>
#include <vector>

namespace vog {

// How a value becomes the state of its field: at File > Open for the General Keywords and Files
// and Paths windows, when a link is picked for the Link Keywords window.
enum class ValueKind : std::uint8_t {
    Text,          // the value as read; an empty one empties the field
    LineList,      // appended as a new last line
    OnOff,         // "On" for on/yes, else "Off"
    InvertedOnOff, // "Off" for no/off, else "On"
    LowerUpper,    // "Upper" for upper, else "Lower"
    Number,        // a whole number, held to the field's range
    Radio,         // the rule's default, then each word found selects its option
    Flags,         // every box of the set, on when its word is found
    LinkName,      // "link ": starts a new link record, named by the value
};

// The window a keyword is shown in; Link rows are kept in the link record store first.
enum class Place : std::uint8_t { General, FilesAndPaths, Link };

// What a field's button does, if it has one.
enum class Browse : std::uint8_t {
    None,
    File,      // "..." runs the window's file dialog
    Directory, // "..." shows the directory chooser
    AddFile,   // "+" beside a line list appends a file from the window's file dialog
};

// Number fields take 0 up to one of two maxima.
enum class Range : std::uint8_t { Max100k, Max1M };
int rangeMaximum(Range range);

// An option of a radio choice: its caption, the word that selects it (none for an option only
// the default reaches), a longer word whose presence cancels the test ("hashdupes" does not
// count inside "hashdupeswmsgid"), and whether its word is tested before those listed earlier.
struct RadioOption
{
    const char *caption;
    QByteArrayView word = {};
    QByteArrayView unless = {};
    bool testedFirst = false;
};

struct RadioRule
{
    std::vector<RadioOption> options; // in the order shown
    int defaultOption;                // -1: see followsField
    // The General Keywords field whose selected caption is the default, for a link's own style.
    const char *followsField = nullptr;
};

// The flag words of a block of check boxes, in test order (also the order of the boxes).
struct FlagSet
{
    std::vector<QByteArrayView> words;
    const char *boxPrefix; // a box is named this plus its word, "/" written as "_"
};

// Everything the program knows about one keyword.
struct KeywordRow
{
    const char *name;   // as the label shows it, and the field's object name; in lower case it
                        // is the keyword, whose literal is that word and one blank
    Place place;
    ValueKind kind;
    Browse browse = Browse::None;
    Range range = Range::Max100k;
    int emptyNumber = 0; // a number field's value for an empty link cell
    bool useBox = false; // a "Use" box beside the number, cleared by an empty link cell
    const RadioRule *radio = nullptr;
    const FlagSet *flags = nullptr;
    bool shown = true;      // false: kept in the link record store only
    // Filled in when the table is built:
    QByteArrayView keyword = {}; // lower case, without the blank
    int index = 0;               // position in keywordTable()
    int storeRow = 0;            // Link rows: the row of the link record store

    bool comparesWords() const
    {
        return kind != ValueKind::Text && kind != ValueKind::LineList && kind != ValueKind::LinkName;
    }
};

// The 129 keywords the Open command recognises, in table order: the General Keywords window's
// rows as shown, then those of Files and Paths, then the link record's rows in store order.
const std::vector<KeywordRow> &keywordTable();

// The rows shown in one window, in the order shown.
std::vector<const KeywordRow *> rowsShownIn(Place place);

// The row whose keyword is exactly this lower-case word, or nullptr.
const KeywordRow *findKeyword(QByteArrayView word);
// The same for a word of this length at the start of MaxKeywordLength bytes that are zero after
// it: how the reader looks up every line's first word without a copy.
const KeywordRow *findPaddedKeyword(const char *padded, qsizetype length);
// The row whose field has this name, or nullptr.
const KeywordRow *rowNamed(QByteArrayView name);

// Longest keyword: a first word of any other length can't match.
constexpr int MaxKeywordLength = 32;

// The store row of the link's name.
int linkNameRow();

} // namespace vog
