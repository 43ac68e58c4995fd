#include "FileOpenDialog.h"

#include <QFileDialog>

#include <deque>

namespace vog {

namespace {
std::deque<std::optional<QString>> &nextAnswers()
{
    static std::deque<std::optional<QString>> answers;
    return answers;
}
} // namespace

FileOpenDialog::FileOpenDialog(const QString &objectName, QWidget *window, Purpose purpose)
    : QObject(window), m_window(window), m_purpose(purpose)
{
    setObjectName(objectName);
}

void FileOpenDialog::setNextAnswer(const std::optional<QString> &answer)
{
    nextAnswers().push_back(answer);
}

bool FileOpenDialog::execute()
{
    if (!nextAnswers().empty()) {
        const std::optional<QString> answer = nextAnswers().front();
        nextAnswers().pop_front();
        if (answer)
            m_fileName = *answer;
        return answer.has_value();
    }
    if (!m_dialog) {
        m_dialog = new QFileDialog(m_window);
        m_dialog->setObjectName(objectName());
        // Any name is taken as typed: a log or lock file often doesn't exist yet, and the Open
        // command reports a missing configuration file itself.
        m_dialog->setFileMode(QFileDialog::AnyFile);
        if (m_purpose == Purpose::NewFile) {
            // The command itself refuses a file that exists: no question of replacing it.
            m_dialog->setAcceptMode(QFileDialog::AcceptSave);
            m_dialog->setOption(QFileDialog::DontConfirmOverwrite);
            m_dialog->setWindowTitle(QStringLiteral("New configuration file"));
            m_dialog->setLabelText(QFileDialog::Accept, QStringLiteral("Create"));
        } else {
            m_dialog->setAcceptMode(QFileDialog::AcceptOpen);
        }
        // The same dialog everywhere, which keeps its last name and can be driven in tests.
        m_dialog->setOption(QFileDialog::DontUseNativeDialog);
    }
    if (!m_fileName.isEmpty())
        m_dialog->selectFile(m_fileName);
    emit aboutToShow(m_dialog);
    if (m_dialog->exec() != QDialog::Accepted || m_dialog->selectedFiles().isEmpty())
        return false;
    m_fileName = m_dialog->selectedFiles().constFirst();
    return true;
}

} // namespace vog
