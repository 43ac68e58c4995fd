#include "TestSupport.h"

#include "shell/FileOpenDialog.h"
#include "shell/Startup.h"
#include "shell/TMain.h"

#include <QAbstractButton>
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
