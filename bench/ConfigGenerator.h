#pragma once

#include <QString>

#include <cstdint>
#include <string>

namespace vogbench {

// The shape of a generated configuration file. The standard stress file is the default: about
// a million lines, of which 20,000 link sections and 100,000 line-list lines.
struct GeneratorOptions
{
    std::int64_t lines = 1000000;
    int links = 20000;
    std::int64_t listLines = 100000;
    std::uint64_t seed = 1;
    // Per-link keyword lines of a link section, Aka included: drawn between these.
    int fewestLinkLines = 30;
    int mostLinkLines = 47;
    // Empty: names and comments in Western and a few Russian words, in UTF-8. A codepage the C
    // library converts to ("KOI8-R", "CP866", "CP1251"): names, origins, remap lines and
    // comments in Russian, written in that codepage.
    std::string codepage;
    // Area lines at the end, one block, each with 1 to 40 links drawn from a few hundred
    // addresses; drawn from a stream of their own, so that the lines before them are those of
    // the same options without them.
    int areaLines = 0;
    // The whole line grammar besides: a tab between keyword and value on some lines, trailing
    // comments, switches written alone, a few set lines whose variables stand in paths, and
    // if "[module]"=="hub" ... else ... endif blocks around keyword lines (with nested
    // conditions and sets in the header). Drawn from streams of their own. Counted as read with
    // no module chosen: the hub branches' lines are not in effect.
    bool fullGrammar = false;

    // The stress file scaled down (or up) in every part.
    static GeneratorOptions scaled(double factor, std::uint64_t seed = 1);
    // A hub's file: 20,000 short link sections (Aka and a few more) and few list lines.
    static GeneratorOptions hub(std::uint64_t seed = 1);
};

// What a generated file holds, counted while it was written.
struct GeneratedFile
{
    std::int64_t lines = 0;
    std::int64_t bytes = 0;
    int links = 0;
    std::int64_t listLines = 0;
    std::int64_t linkLines = 0; // per-link keyword lines, "link " lines not counted
    std::int64_t defaultsLines = 0; // lines of LinkDefaults blocks, their marks counted
    int areaLines = 0;              // those of the areas block
    std::int64_t areaLinks = 0;     // the links on them
    std::int64_t directiveLines = 0; // set and condition lines (fullGrammar)
    std::int64_t hiddenLines = 0;    // other lines in a branch not taken, with no module chosen
};

// Writes a realistic configuration file: every general, files-and-paths and per-link keyword in
// mixed letter case, comments, blank lines, area lines the reader ignores, blocks with CR LF and
// blocks with LF line ends, long route, remap, pack and include lists, and link sections of 30
// to 47 per-link lines (or as many as asked), with a few LinkDefaults blocks between them and
// one destroy; with fullGrammar, the rest of the line grammar too. The same options give the
// same bytes on every machine. Every number is one the reader converts, so the whole file is
// always read. Throws std::runtime_error if the file can't be written.
GeneratedFile generateConfig(const GeneratorOptions &options, const QString &path);

} // namespace vogbench
