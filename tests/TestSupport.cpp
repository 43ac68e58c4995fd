#include "TestSupport.h"

#include "editors/TSelect_directory.h"
#include "fields/FileOpenDialog.h"
#include "shell/Startup.h"
#include "shell/TMain.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QApplication>
#include <QFile>
#include <QTimer>

struct ErrorBoxWatcher::Impl
{
    QTimer timer;
    QList<ShownError> shown;
};

ErrorBoxWatcher::ErrorBoxWatcher() : d(new Impl)
{
    d->timer.setInterval(2);
    QObject::connect(&d->timer, &QTimer::timeout, [this] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            if (!box->isVisible())
                return;
            d->shown.append({box->windowTitle(), box->text(), box->icon()});
            box->button(QMessageBox::Ok)->click();
        }
    });
    d->timer.start();
}

ErrorBoxWatcher::~ErrorBoxWatcher()
{
    delete d;
}

const QList<ShownError> &ErrorBoxWatcher::shown() const
{
    return d->shown;
}

Program::Program()
{
    createWindows();
}

Program::~Program()
{
    destroyWindows();
}

QString ConfigFixture::write(const QByteArray &content, const QString &name)
{
    QFile f(m_dir.filePath(name));
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(f.fileName()));
    f.write(content);
    return f.fileName();
}

QList<ShownError> openConfig(const QString &fileName)
{
    ErrorBoxWatcher watcher;
    if (fileName.isNull())
        vog::FileOpenDialog::setNextAnswer(std::nullopt);
    else
        vog::FileOpenDialog::setNextAnswer(fileName);
    Main->N2Click();
    return watcher.shown();
}

QList<ShownError> openCancelled()
{
    return openConfig(QString());
}

#include "fields/ChoiceField.h"
#include "fields/FlagBoxes.h"
#include "fields/LineList.h"
#include "fields/NumberField.h"
#include "fields/RadioChoice.h"
#include "fields/TextField.h"

#include <QCheckBox>

QString fieldState(const QWidget *field)
{
    if (!field)
        return QStringLiteral("<no such field>");
    if (auto *text = qobject_cast<const vog::TextField *>(field))
        return text->text();
    if (auto *choice = qobject_cast<const vog::ChoiceField *>(field))
        return choice->currentText();
    if (auto *number = qobject_cast<const vog::NumberField *>(field))
        return QString::number(number->value());
    if (auto *radio = qobject_cast<const vog::RadioChoice *>(field))
        return QString::number(radio->selectedOption());
    if (auto *list = qobject_cast<const vog::LineList *>(field))
        return list->lines().join(QLatin1Char('|'));
    if (auto *flags = qobject_cast<const vog::FlagBoxes *>(field)) {
        QStringList on;
        for (int i = 0; i < flags->boxCount(); ++i)
            if (flags->box(i))
                on.append(flags->checkBox(i)->objectName());
        return on.join(QLatin1Char(' '));
    }
    if (auto *box = qobject_cast<const QAbstractButton *>(field))
        return box->isChecked() ? QStringLiteral("checked") : QStringLiteral("unchecked");
    return QStringLiteral("<unknown kind>");
}

QString fieldState(const QWidget *window, const QString &name)
{
    return fieldState(window->findChild<QWidget *>(name));
}

#include "editors/TArea_Definition.h"
#include "editors/TFiles_and_Paths.h"
#include "editors/TGeneral_Keywords.h"
#include "editors/TLink_Keywords.h"
#include "editors/TSelect_directory.h"

QWidget *windowNamed(const QString &name)
{
    for (QWidget *w : QList<QWidget *>{Main, General_Keywords, Files_and_Paths, Link_Keywords,
                                       Select_directory, Area_Definition})
        if (w && w->objectName() == name)
            return w;
    return nullptr;
}

void showALink(ConfigFixture &files)
{
    openConfig(files.write("Link A\nAka 2:2/2\n"));
    Link_Keywords->LinkChange->setCurrentIndex(0);
    Link_Keywords->LinkChangeChange();
}

bool withChooser(const std::function<void()> &show,
                 const std::function<void(TSelect_directory *)> &steps)
{
    bool shown = false;
    whenModal<TSelect_directory>(
        [&](TSelect_directory *chooser) {
            shown = true;
            steps(chooser);
            if (chooser->isVisible())
                chooser->close();
        },
        show);
    return shown;
}
