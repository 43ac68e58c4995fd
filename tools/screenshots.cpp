// Renders every window to PNG files, for the README and docs/: the main window, the three
// editors scrolled to the top and to the bottom after opening a configuration file, and the
// directory chooser as a directory browse button shows it, over the Files and Paths window, and
// the quick find over the Link Keywords window, the Area Definition window filtered by a
// link's address, and the save preview of three changes, cancelled,
// so that nothing is written.
// Usage: vog-screenshots <configuration file> <output folder> [font size in points]
// A font size other than the shared font's shows how the windows take a larger font.
#include "editors/LinkDialog.h"
#include "editors/TArea_Definition.h"
#include "editors/TFiles_and_Paths.h"
#include "editors/TGeneral_Keywords.h"
#include "editors/TLink_Keywords.h"
#include "editors/TSelect_directory.h"
#include "fields/BrowseButton.h"
#include "fields/LineList.h"
#include "editors/EditorWindow.h"
#include "fields/FileOpenDialog.h"
#include "fields/SharedFont.h"
#include "shell/QuickFind.h"
#include "document/ConfigDocument.h"
#include "editors/AreaListModel.h"
#include "shell/SavePreview.h"
#include "shell/Startup.h"
#include "shell/TMain.h"

#include <QApplication>
#include <QComboBox>
#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QMessageBox>
#include <QTimer>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableView>
#include <QScreen>
#include <QTextStream>
#include <QListWidget>

namespace {

void save(QWidget *window, const QString &path)
{
    QApplication::processEvents();
    window->grab().save(path);
    QTextStream(stdout) << path << '\n';
    // On a small screen, the whole screen too: where the window stands on it.
    if (qEnvironmentVariableIsSet("VOG_WHOLE_SCREEN")) {
        QString screenPath = path;
        screenPath.insert(screenPath.size() - 4, QStringLiteral("-screen"));
        window->screen()->grabWindow(0).save(screenPath);
        QTextStream(stdout) << screenPath << '\n';
    }
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

// The chooser, shown modally by a directory browse button, drawn where it stands over its
// window. Without a window manager there is no frame, so a thin line marks the chooser's edge.
void saveChooserOver(QWidget *window, QPushButton *browse, const QString &path)
{
    QTimer::singleShot(0, [window, path] {
        QApplication::processEvents();
        QPixmap shot = window->grab();
        const QPixmap chooser = Select_directory->grab();
        const QPoint at = Select_directory->geometry().topLeft() - window->geometry().topLeft();
        QPainter painter(&shot);
        painter.drawPixmap(at, chooser);
        painter.setPen(QPen(Qt::darkGray, 1));
        painter.drawRect(QRect(at, Select_directory->size()).adjusted(-1, -1, 0, 0));
        painter.end();
        shot.save(path);
        QTextStream(stdout) << path << '\n';
        Select_directory->OkButtonClick();
    });
    browse->click();
}

// The Include list's context menu, with its two commands for included files, drawn where it
// pops up over the Files and Paths window.
void saveIncludeMenu(const QString &path)
{
    auto *list = Files_and_Paths->field<vog::LineList>("Include");
    Files_and_Paths->show();
    list->setFocus();
    QApplication::processEvents();
    emit list->customContextMenuRequested(QPoint(40, 10));
    QApplication::processEvents();
    QWidget *menu = QApplication::activePopupWidget();
    QPixmap shot = Files_and_Paths->grab();
    if (menu) {
        QPainter painter(&shot);
        painter.drawPixmap(menu->geometry().topLeft() - Files_and_Paths->geometry().topLeft(),
                           menu->grab());
        painter.end();
        menu->close();
    }
    shot.save(path);
    QTextStream(stdout) << path << '\n';
}

// The quick find as Ctrl+F shows it over a window, with a text typed.
void saveQuickFind(QWidget *window, const QString &typed, const QString &path)
{
    window->show();
    QApplication::processEvents();
    window->findChild<QAction *>(QStringLiteral("QuickFindAction"))->trigger();
    auto *find = Main->findChild<vog::QuickFind *>(QStringLiteral("QuickFind"));
    find->QuickFindText->setText(typed);
    QApplication::processEvents();
    QPixmap shot = window->grab();
    QPainter painter(&shot);
    const QPoint at = find->geometry().topLeft() - window->geometry().topLeft();
    painter.drawPixmap(at, find->grab());
    painter.end();
    find->hide();
    shot.save(path);
    QTextStream(stdout) << path << '\n';
}

// File > Save with a change of two general keywords and of one link's password: the preview,
// answered with Cancel.
void saveSavePreview(const QString &path)
{
    vog::ConfigDocument &document = vog::document();
    document.setValue(*vog::rowNamed("Sysop"), -1, QStringLiteral("Ivan Sidorov"));
    document.setValue(*vog::rowNamed("AreafixMsgSize"), -1, QStringLiteral("64000"));
    document.setValue(*vog::rowNamed("Password"), 2, QStringLiteral("P0INT-1"));
    QTimer::singleShot(0, [path] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *preview = qobject_cast<SavePreview *>(modal)) {
            save(preview, path);
            preview->reject();
        } else if (modal) {
            modal->close();
        }
    });
    Main->N3Click();
}

// Copy on the Link Keywords window: the link dialog with a name typed and an address that
// another link has, so that it says why OK is greyed; cancelled.
void saveLinkDialog(const QString &path)
{
    QTimer::singleShot(0, [path] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *dialog = qobject_cast<vog::LinkDialog *>(modal)) {
            dialog->LinkNameEdit->setText(QStringLiteral("Bossnode-2"));
            dialog->LinkAkaEdit->setText(Link_Keywords->field<QLineEdit>("Aka")->text().section(u' ', 0, 0));
            QApplication::processEvents();
            save(dialog, path);
            dialog->reject();
        } else if (modal) {
            modal->close();
        }
    });
    Link_Keywords->CopyLinkButtonClick();
}

// Remove's question for the link shown, with its check box for the areas, answered No.
void saveRemoveQuestion(const QString &path)
{
    QTimer::singleShot(0, [path] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            save(box, path);
            box->button(QMessageBox::No)->click();
        }
    });
    Link_Keywords->RemoveLinkButtonClick();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        QTextStream(stderr)
            << "usage: vog-screenshots <configuration file> <output folder> [points]\n";
        return 2;
    }
    const QString folder = args[2];
    QDir().mkpath(folder);

    createWindows();
    if (args.size() > 3) {
        QFont font = vog::sharedFont();
        font.setPointSize(args[3].toInt());
        for (QWidget *w : QList<QWidget *>{Main, General_Keywords, Files_and_Paths,
                                           Link_Keywords, Select_directory, Area_Definition})
            w->setFont(font);
    }
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
    saveLinkDialog(folder + QStringLiteral("/link-dialog.png"));
    // The last link inherits from the sample's defaults block: its labels partly in italics.
    if (const int last = Link_Keywords->LinkChange->count() - 1; last > 0) {
        Link_Keywords->LinkChange->setCurrentIndex(last);
        Link_Keywords->LinkChangeChange();
        save(Link_Keywords, folder + QStringLiteral("/link-inherited.png"));
        Link_Keywords->LinkDefaultsButton->click();
        save(Link_Keywords, folder + QStringLiteral("/link-defaults.png"));
        Link_Keywords->LinkChange->setCurrentIndex(0);
        Link_Keywords->LinkChangeChange();
    }

    // The areas, a downlink's address typed into the filter, two of its areas selected.
    Main->AreaDefinition1Click();
    Area_Definition->AreaFilter->setText(QStringLiteral("2:5020/1"));
    QApplication::processEvents();
    if (Area_Definition->model()->rowCount() > 1) {
        QTableView *areas = Area_Definition->AreaList;
        areas->setCurrentIndex(areas->model()->index(0, 0));
        areas->selectionModel()->select(
                QItemSelection(areas->model()->index(0, 0), areas->model()->index(1, 0)),
                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        Area_Definition->AreaLinks->setCurrentRow(0);
    }
    save(Area_Definition, folder + QStringLiteral("/area-definition.png"));
    Area_Definition->hide();
    saveRemoveQuestion(folder + QStringLiteral("/remove-link.png"));

    saveIncludeMenu(folder + QStringLiteral("/include-menu.png"));
    saveQuickFind(Link_Keywords, QStringLiteral("no"), folder + QStringLiteral("/quick-find.png"));

    // Last, because the browse button writes the chooser's directory into its field.
    Files_and_Paths->show();
    Files_and_Paths->scrollToTop();
    saveChooserOver(Files_and_Paths, Files_and_Paths->findChild<vog::BrowseButton *>("InboundButton"),
                    folder + QStringLiteral("/select-directory.png"));

    saveSavePreview(folder + QStringLiteral("/save-preview.png"));

    destroyWindows();
    return 0;
}
