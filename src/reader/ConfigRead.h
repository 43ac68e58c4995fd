#pragma once

#include "ConfigScanner.h"

namespace vog {

class LinkStore;

// Where one read of a configuration file sends what it finds. The read itself keeps the link
// records; the sink shows the rest.
class ConfigSink
{
public:
    virtual ~ConfigSink() = default;
    // Every line as it came from the file, comments included, before it is matched.
    virtual void lineRead(QByteArrayView) {}
    // A keyword of the General Keywords or the Files and Paths window, with its value.
    virtual void windowValue(const KeywordLine &line) = 0;
    // A "link " line has started the link record in this column; line.value is its name.
    virtual void linkStarted(const KeywordLine &line, int column) = 0;
    // A per-link keyword's value has been stored in this column.
    virtual void linkValue(const KeywordLine &, int /*column*/) {}
};

// Reads the lines of one configuration file from the first to the last. A "link " line adds a
// column to the store, numbered on after the columns it already has, so that the n-th link
// ever read is column n; the per-link keywords fill their rows of the current column, those
// before the file's first "link " line column 0. Cells remember their line of this file, the
// file's index among the source files (-1: none). A failed read throws an IoError; whatever the
// sink throws ends the read at that line.
void readConfig(LineReader &lines, LinkStore &store, ConfigSink &sink, int file = -1);

} // namespace vog
