#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

class QFileDialog;
class QWidget;

namespace vog {

// A window's file-open dialog. It keeps the name it returned last and opens with it filled in;
// after a cancel, fileName() is still that name (empty if it has returned none yet). The real
// dialog is built on first use, so start-up doesn't pay for it.
class FileOpenDialog : public QObject
{
    Q_OBJECT
public:
    // Open: any name, as typed. NewFile: a name for a file to create, asked in a save dialog.
    enum class Purpose { Open, NewFile };
    FileOpenDialog(const QString &objectName, QWidget *window, Purpose purpose = Purpose::Open);

    // Runs the dialog modally; whether it was confirmed.
    bool execute();
    QString fileName() const { return m_fileName; }
    // Makes this the last name, as if the dialog had returned it: the next run opens with it.
    void setFileName(const QString &fileName) { m_fileName = fileName; }

    // For tests: the next execute() of any dialog answers with this name (or cancels, for
    // std::nullopt) without showing anything.
    static void setNextAnswer(const std::optional<QString> &answer);

signals:
    // The real dialog has been built and is about to run; tests drive it from here.
    void aboutToShow(QFileDialog *dialog);

private:
    QWidget *m_window;
    Purpose m_purpose;
    QPointer<QFileDialog> m_dialog;
    QString m_fileName;
};

} // namespace vog
