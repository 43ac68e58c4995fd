#pragma once

#include "document/IncludeWalk.h"
#include "reader/SourceFiles.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace vog {

// File > Open after the dialog, for one file or for several read in a row: each file is read
// once, from the first line to the last, into the document, and every recognised keyword's
// value it set shown in the editor windows from there once it is read. Nothing is cleared
// first: each file adds to what is there. The link list takes its new names in one go when
// the command finishes, which it must, however it ends, before anything else is shown.
class OpenCommand
{
public:
    OpenCommand();
    ~OpenCommand();
    OpenCommand(const OpenCommand &) = delete;
    OpenCommand &operator=(const OpenCommand &) = delete;

    // What one file gave besides its values.
    using FileRead = IncludedRead;

    // Reads one file. onOpened runs once it is open, before the first line. Throws an IoError if
    // the file can't be opened or read, a NumberError at a number that doesn't convert; what
    // the lines before it set stays. read tells what it read, also when it throws.
    // A main file is one the user opened, not one read through an include: values that no
    // file set are saved into the main file opened last.
    // A file named by an Include line is read from that line's state.
    void read(const QString &fileName, const std::function<void()> &onOpened, FileRead &read,
              bool isMain, const Origin &from = {});
    void finish();

    // What the last file read held: its name, lines, links and codepage ("KOI8-R"); an empty
    // codepage before any.
    struct Summary
    {
        QString fileName;
        qint64 lines = 0;
        int links = 0;
        QString codepage;
        int file = -1;
    };
    static Summary lastRead();

private:
    struct Sink;
    std::unique_ptr<Sink> m_sink;
};

// One file by File > Open: read, finished, and its error, if any, thrown after the finish.
void openFile(const QString &fileName, const std::function<void()> &onOpened,
              bool isMain = true, const Origin &from = {});

// Opens the files named by the lines given, and the files that those name, as walkIncludes
// walks them.
void openIncludedFiles(const QStringList &names, const std::vector<Origin> &origins,
                       const std::function<void()> &onOpened);

} // namespace vog
