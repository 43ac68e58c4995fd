#pragma once

#include "editors/Windows.h"

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
// Creates the four hidden windows in order, unless they exist.
void createEditorWindows();
// Destroys them again, last created first.
void destroyWindows();
// Destroys the four hidden windows and makes them again over a cleared document: every field
// in its initial state. Those shown are shown again where they were.
void renewEditorWindows();
// Runs fn once, right after the window's first frame has been drawn and sent to the screen.
void runAfterFirstFrame(QWidget *window, std::function<void()> fn);
