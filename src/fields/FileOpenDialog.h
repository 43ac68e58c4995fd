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
    FileOpenDialog(const QString &objectName, QWidget *window);

    // Runs the dialog modally. Whether it was confirmed is not reported: callers use fileName().
    void execute();
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
    QPointer<QFileDialog> m_dialog;
    QString m_fileName;
};

} // namespace vog
