#pragma once

#include "Codepage.h"

#include <QString>

namespace vog {

// Where a value was set: a line of one of the files read in this run. A value the user typed
// has none.
struct Origin
{
    int file = -1;
    qint64 line = 0;
    bool isSet() const { return file >= 0; }
};

// A configuration file read in this run, and how its bytes become text.
struct SourceFile
{
    QString path;
    TextCodec codec = TextCodec::latin1();
};

// The files read in this run, in the order read; an Origin names one by its index. Entries
// never move, so references to them stay valid for the run.
int addSourceFile(const QString &path);
SourceFile &sourceFile(int file);
// Whether a file at this absolute path was read in this run.
bool wasRead(const QString &absolutePath);
int sourceFileCount();

// "line 12 of /etc/tosser/links.cfg", or an empty text for a value without an origin.
QString describeOrigin(const Origin &origin);

} // namespace vog
