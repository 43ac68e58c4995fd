#pragma once

class TMain;
class TGeneral_Keywords;
class TFiles_and_Paths;
class TSelect_directory;
class TLink_Keywords;

// The program's five windows, one instance each for the whole run.
extern TMain *Main;
extern TGeneral_Keywords *General_Keywords;
extern TFiles_and_Paths *Files_and_Paths;
extern TSelect_directory *Select_directory;
extern TLink_Keywords *Link_Keywords;

// Creates the five windows in order: Main first, then the four hidden ones. The tests and
// tools call this.
void createWindows();
// What main() does: creates Main and shows it, and creates the four hidden windows, in order,
// right after Main's first frame is on the screen, so the program appears sooner. No command
// can reach them before: the only one that can come first, File > Open, creates them itself.
void showMainWindowFirst();
// Creates the four hidden windows in order, unless they exist.
void createEditorWindows();
// Destroys them again, last created first.
void destroyWindows();
