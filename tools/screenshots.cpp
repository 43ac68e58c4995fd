// Renders every window to PNG files, for the README and docs/: the main window, the three
// editors scrolled to the top and to the bottom after opening a configuration file, and the
// directory chooser. Usage: vog-screenshots <configuration file> <output folder>
#include "editors/TFiles_and_Paths.h"
#include "editors/TGeneral_Keywords.h"
#include "editors/TLink_Keywords.h"
#include "editors/TSelect_directory.h"
#include "shell/EditorWindow.h"
#include "shell/FileOpenDialog.h"
#include "shell/Startup.h"
#include "shell/TMain.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QPixmap>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextStream>

namespace {

void save(QWidget *window, const QString &path)
{
    QApplication::processEvents();
    window->grab().save(path);
    QTextStream(stdout) << path << '\n';
}

void saveEditor(vog::EditorWindow *window, const QString &folder, const QString &name)
{
    window->show();
    QApplication::processEvents();
    window->scrollToTop();
    save(window, folder + QLatin1Char('/') + name + QStringLiteral("-top.png"));
    window->scrollToBottom();
    save(window, folder + QLatin1Char('/') + name + QStringLiteral("-bottom.png"));
    window->scrollToTop();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        QTextStream(stderr) << "usage: vog-screenshots <configuration file> <output folder>\n";
        return 2;
    }
    const QString folder = args[2];
    QDir().mkpath(folder);

    createWindows();
    Main->show();
    vog::FileOpenDialog::setNextAnswer(args[1]);
    Main->N2Click();
    save(Main, folder + QStringLiteral("/main.png"));

    saveEditor(General_Keywords, folder, QStringLiteral("general-keywords"));
    saveEditor(Files_and_Paths, folder, QStringLiteral("files-and-paths"));
    if (Link_Keywords->LinkChange->count() > 0) {
        Link_Keywords->LinkChange->setCurrentIndex(0);
        Link_Keywords->LinkChangeChange();
    }
    saveEditor(Link_Keywords, folder, QStringLiteral("link-keywords"));

    Select_directory->show();
    save(Select_directory, folder + QStringLiteral("/select-directory.png"));
    Select_directory->hide();

    destroyWindows();
    return 0;
}
