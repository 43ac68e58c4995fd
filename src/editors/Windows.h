#pragma once

class TGeneral_Keywords;
class TFiles_and_Paths;
class TSelect_directory;
class TLink_Keywords;
class TArea_Definition;

// The editor windows and the directory chooser, one instance each for the whole run; start-up
// creates them.
extern TGeneral_Keywords *General_Keywords;
extern TFiles_and_Paths *Files_and_Paths;
extern TSelect_directory *Select_directory;
extern TLink_Keywords *Link_Keywords;
extern TArea_Definition *Area_Definition;
