#pragma once

#include "editors/Windows.h"

#include <QStringList>

#include <functional>

class QWidget;

class TMain;

// The program's five windows, one instance each for the whole run: the main window and the
// four of editors/Windows.h.
extern TMain *Main;

// When the four hidden windows are built: at once (tests, tools), or right after the main
// window's first frame is on the screen, so that the program appears sooner (main()). The
// user can't tell: the only command that can come before them, File > Open, builds them
// itself.
enum class EditorWindows { Now, AfterMainIsShown };

// Creates the five windows in order: Main first, then the four hidden ones. main() calls this
// and runs the event loop, and so do the tests. With AfterMainIsShown, Main is also shown.
void createWindows(EditorWindows when = EditorWindows::Now);
// Destroys them again, last created first.
void destroyWindows();
// Runs fn once, right after the window's first frame has been drawn and sent to the screen.
void runAfterFirstFrame(QWidget *window, std::function<void()> fn);

namespace vog {
// Opens each file in order, as File > Open would with that name, once the main window has
// shown its first frame; an error shows in the usual box over it.
void openWhenMainIsShown(const QStringList &files);
}
