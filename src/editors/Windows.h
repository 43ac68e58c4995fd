#pragma once

#include "reader/KeywordTable.h"

#include <functional>
#include <vector>

class QAction;
class QString;
class QWidget;

class TGeneral_Keywords;
class TFiles_and_Paths;
class TSelect_directory;
class TLink_Keywords;
class TArea_Definition;

// The editor windows and the directory chooser, one instance each for the whole run; start-up
// creates them from the table below.
extern TGeneral_Keywords *General_Keywords;
extern TFiles_and_Paths *Files_and_Paths;
extern TSelect_directory *Select_directory;
extern TLink_Keywords *Link_Keywords;
extern TArea_Definition *Area_Definition;

namespace vog {

// What of the document a window shows.
enum class Shows { Nothing, GeneralKeywords, FilesAndPaths, Link, Areas };

// One window as the program knows it: its one instance, and the Configurator menu item that
// shows it. A menu item whose window doesn't exist yet stands greyed; a window without a menu
// item (the directory chooser) is shown by the fields that use it.
struct WindowRow
{
    const char *objectName; // the window's, and its program-wide pointer's name; null: none yet
    const char *menuItem;   // the Configurator menu item's object name; null: none
    const char *caption;    // that item's caption
    Shows shows;
    // Makes the instance, held in its program-wide pointer; a command of it that fails tells
    // `failed`, for the error box.
    void (*create)(const std::function<void(const QString &)> &failed);
    void (*destroy)();
    QWidget *(*instance)();
};

// The windows in the order they are made, which is also the order of their menu items.
const std::vector<WindowRow> &windowRows();
// The row of the window showing this, or of the window with this menu item; null for none.
const WindowRow *windowShowing(Shows shows);
const WindowRow *windowWithMenuItem(const char *menuItem);
// The window of a keyword's place (the Link Keywords window for a link keyword).
const WindowRow &windowShowing(Place place);
// Shows a window as its menu item does: in front, active.
void showWindow(const WindowRow &row);
// The window's Ctrl+F; null for a window without one.
QAction *quickFindActionOf(QWidget *window);

} // namespace vog
