#include "ErrorBox.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>

namespace vog {

QString titleFromProgramFile(const QString &programFile)
{
    QString name = QFileInfo(programFile).fileName();
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    if (dot >= 0)
        name.truncate(dot);
    if (name.size() > 1)
        name = name.left(1) + name.mid(1).toLower();
    return name;
}

QString applicationTitle()
{
    return titleFromProgramFile(QCoreApplication::applicationFilePath());
}

namespace {

int g_shown = 0;

} // namespace

int errorBoxesShown()
{
    return g_shown;
}

void showError(const QString &message)
{
    ++g_shown;
    QString text = message;
    if (!text.endsWith(QLatin1Char('.')))
        text += QLatin1Char('.');
    QMessageBox box(QMessageBox::Critical, applicationTitle(), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setObjectName(QStringLiteral("ErrorBox"));
    box.exec();
}

} // namespace vog
