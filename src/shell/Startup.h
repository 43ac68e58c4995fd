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

// Creates the five windows in order: Main first, then the four hidden ones. main() calls this
// and runs the event loop, and so do the tests.
void createWindows();
// Destroys them again, last created first.
void destroyWindows();
