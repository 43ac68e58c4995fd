#pragma once

#include <QString>

#include <functional>

namespace vog {

// File > Open after the dialog: reads the configuration file once, from the first line to the
// last, and shows every recognised keyword's value in the editor windows, keeping link sections
// in the link record store. Nothing is cleared first: each Open adds to what is there.
class OpenCommand
{
public:
    // onOpened runs once the file is open, before the first line is read. Throws an IoError if
    // the file can't be opened or read, a NumberError at a number that doesn't convert; what
    // the lines before it set stays, and is on the screen before the error is.
    static void run(const QString &fileName, const std::function<void()> &onOpened);
};

} // namespace vog
