#pragma once

#include "KeywordTable.h"
#include "SourceFiles.h"

#include <QByteArrayView>
#include <QStringList>

#include <cstdint>

namespace vog {

// What a field shows for one value, before any widget is touched. Text stays bytes: how they
// become characters is decided by the file they came from.
struct FieldState
{
    ValueKind kind = ValueKind::Text;
    QByteArrayView text;           // Text, LineList, LinkName: the value as read
    const char *choice = nullptr;  // OnOff, InvertedOnOff, LowerUpper: the item text to show
    int number = 0;                // Number: the number, before the field holds it to its range
    bool clearUse = false;         // Number: an empty value clears the row's Use box
    int option = -1;               // Radio: the option to select; -1 leaves the selection alone
    std::uint32_t boxes = 0;       // Flags: box i is on when bit i is set
    Origin origin;                 // the line that set the value; none for an empty link cell
    bool inherited = false;        // a link's value that the LinkDefaults gave it
    const TextCodec *codec = nullptr; // how text bytes become characters; null: each value as
                                      // UTF-8 where valid, else Latin-1
    QStringList notes;             // what the tool tip tells after the origin, a line each
};

// The one way from a value to a field's state, by the row's value kind. The value is the rest
// of the line after the keyword as read (or a link cell: possibly empty); words are compared in
// lower case. followedDefault is the default option of a radio rule that follows another field.
// Throws a NumberError for a number that doesn't convert, naming the line when lineNumber > 0.
FieldState fieldState(const KeywordRow &row, QByteArrayView value, qint64 lineNumber = 0,
                      int followedDefault = -1);

// The way back: words that read as this state of a row whose value kind compares words (an
// item text, a number in decimal, a word of the option, the words of the boxes that are on,
// one blank apart). Empty for a state that no word gives (no option, no box on), which
// leaves the keyword out.
QByteArray stateWords(const KeywordRow &row, const FieldState &state);

// What a field shows for a state of a row whose value kind compares words, as its own text: the
// item text of a choice, the number held to the field's range, the caption of the option
// selected, the words of the boxes that are on, one blank apart. Empty for no option selected
// and no box on.
QByteArray shownState(const KeywordRow &row, const FieldState &state);

// The number a field of this row shows for a number: held to its range.
int heldNumber(const KeywordRow &row, int number);

// A number as typed: an optional sign and up to 18 decimal digits, blanks around it.
bool typedNumber(QByteArrayView typed, qlonglong &number);

// The way from what a user may choose in a field to its words, where a choice is strict: an
// item text of a choice, a whole number inside the field's range, a caption of a radio choice,
// flag words of the boxes, without regard to case; blanks between flag words. Empty typed text
// gives a state of no box on for flags. On a text that the field can't take, false and why.
bool typedState(const KeywordRow &row, QByteArrayView typed, FieldState &state, QByteArray &why);

// The words that select each option of a radio choice: its own word, or for an option that only
// the default reaches, its caption in lower case (as stateWords writes it).
QByteArray optionWord(const RadioOption &option);

// The default option, then each word that occurs anywhere in the lower-case value selects its
// option; the last one tested wins.
int radioOption(QByteArrayView lowerValue, const RadioRule &rule, int defaultOption);

// Bit i is set when flag word i occurs anywhere in the lower-case value.
std::uint32_t flagBits(QByteArrayView lowerValue, const FlagSet &flags);

} // namespace vog
