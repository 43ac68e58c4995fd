#include "Windows.h"

#include "TArea_Definition.h"
#include "TFiles_and_Paths.h"
#include "TGeneral_Keywords.h"
#include "TLink_Keywords.h"
#include "TSelect_directory.h"

#include <QAction>

TGeneral_Keywords *General_Keywords = nullptr;
TFiles_and_Paths *Files_and_Paths = nullptr;
TSelect_directory *Select_directory = nullptr;
TLink_Keywords *Link_Keywords = nullptr;
TArea_Definition *Area_Definition = nullptr;

namespace vog {

namespace {

using Failed = std::function<void(const QString &)>;

// Where a window tells that a command of it failed.
void tellFailures(QWidget *, const Failed &) {}
void tellFailures(TLink_Keywords *window, const Failed &failed)
{
    QObject::connect(window, &TLink_Keywords::loadFailed, failed);
}
void tellFailures(TArea_Definition *window, const Failed &failed)
{
    QObject::connect(window, &TArea_Definition::failed, failed);
}

// The three functions of a window held in `instance`.
template <typename Window, Window *&instance>
struct One
{
    static void create(const Failed &failed)
    {
        instance = new Window;
        tellFailures(instance, failed);
    }
    static void destroy()
    {
        delete instance;
        instance = nullptr;
    }
    static QWidget *get() { return instance; }
};

template <typename Window, Window *&instance>
WindowRow window(const char *name, const char *menuItem, const char *caption, Shows shows)
{
    using W = One<Window, instance>;
    return {name, menuItem, caption, shows, &W::create, &W::destroy, &W::get};
}

WindowRow menuItemOnly(const char *menuItem, const char *caption)
{
    return {nullptr, menuItem, caption, Shows::Nothing, nullptr, nullptr, nullptr};
}

} // namespace

const std::vector<WindowRow> &windowRows()
{
    // clang-format off
    static const std::vector<WindowRow> rows{
        window<TGeneral_Keywords, General_Keywords>("General_Keywords", "GeneralKeywords1", "General Keywords ", Shows::GeneralKeywords),
        window<TFiles_and_Paths,  Files_and_Paths> ("Files_and_Paths",  "FilesandPaths1",   "Files and Paths ",  Shows::FilesAndPaths),
        window<TSelect_directory, Select_directory>("Select_directory", nullptr,            nullptr,             Shows::Nothing),
        window<TLink_Keywords,    Link_Keywords>   ("Link_Keywords",    "LinkKeywords1",    "Link Keywords ",    Shows::Link),
        menuItemOnly                               (                    "AreafixKeywords1", "Areafix Keywords "),
        window<TArea_Definition,  Area_Definition> ("Area_Definition",  "AreaDefinition1",  "Area Definition ",  Shows::Areas),
        menuItemOnly                               (                    "CarbonCopy1",      "Carbon Copy "),
    };
    // clang-format on
    return rows;
}

const WindowRow *windowShowing(Shows shows)
{
    for (const WindowRow &row : windowRows())
        if (row.objectName && row.shows == shows)
            return &row;
    return nullptr;
}

const WindowRow *windowWithMenuItem(const char *menuItem)
{
    for (const WindowRow &row : windowRows())
        if (row.menuItem && qstrcmp(row.menuItem, menuItem) == 0)
            return &row;
    return nullptr;
}

const WindowRow &windowShowing(Place place)
{
    switch (place) {
    case Place::General:
        return *windowShowing(Shows::GeneralKeywords);
    case Place::FilesAndPaths:
        return *windowShowing(Shows::FilesAndPaths);
    case Place::Link:
        break;
    }
    return *windowShowing(Shows::Link);
}

void showWindow(const WindowRow &row)
{
    QWidget *window = row.instance();
    window->show();
    window->raise();
    window->activateWindow();
}

QAction *quickFindActionOf(QWidget *window)
{
    return window->findChild<QAction *>(QStringLiteral("QuickFindAction"),
                                        Qt::FindDirectChildrenOnly);
}

} // namespace vog
