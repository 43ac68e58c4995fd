#include "Startup.h"

#include "TMain.h"
#include "editors/TFiles_and_Paths.h"
#include "editors/TGeneral_Keywords.h"
#include "editors/TLink_Keywords.h"
#include "editors/TSelect_directory.h"

TMain *Main = nullptr;
TGeneral_Keywords *General_Keywords = nullptr;
TFiles_and_Paths *Files_and_Paths = nullptr;
TSelect_directory *Select_directory = nullptr;
TLink_Keywords *Link_Keywords = nullptr;

void createWindows()
{
    Main = new TMain;
    General_Keywords = new TGeneral_Keywords;
    Files_and_Paths = new TFiles_and_Paths;
    Select_directory = new TSelect_directory;
    Link_Keywords = new TLink_Keywords;
}

void destroyWindows()
{
    delete Link_Keywords;
    Link_Keywords = nullptr;
    delete Select_directory;
    Select_directory = nullptr;
    delete Files_and_Paths;
    Files_and_Paths = nullptr;
    delete General_Keywords;
    General_Keywords = nullptr;
    delete Main;
    Main = nullptr;
}
