#pragma once

#include <QString>

#include <exception>
#include <new>

namespace vog {

// A failure that ends the running command; the application shows its message in the error box.
class CommandError : public std::exception
{
public:
    explicit CommandError(QString message) : m_message(std::move(message)) {}
    const QString &message() const { return m_message; }
    const char *what() const noexcept override { return "command failed"; }

private:
    QString m_message;
};

// A file that can't be opened or read, named by the system's error number.
class IoError : public CommandError
{
public:
    // systemError: the system's own error number where it differs from the one the message
    // is chosen by (a missing folder on the way is told as a wrong name).
    explicit IoError(int errorNumber, QString message, int systemError = -1)
        : CommandError(std::move(message)), m_errorNumber(errorNumber),
          m_systemError(systemError < 0 ? errorNumber : systemError) {}
    int errorNumber() const { return m_errorNumber; }
    int systemError() const { return m_systemError; }

private:
    int m_errorNumber;
    int m_systemError;
};

// A value that no number conversion accepts, or one outside the 32-bit range.
class NumberError : public CommandError
{
public:
    using CommandError::CommandError;
};

// A change that can't be written: a character its file's codepage can't hold, or one that no
// configuration line can carry.
class RenderError : public CommandError
{
public:
    using CommandError::CommandError;
};

// Runs a command; an error that ends it goes, as its message, to report and no further.
template <typename Command, typename Report>
void guarded(Command &&command, Report &&report)
{
    try {
        command();
    } catch (const CommandError &e) {
        report(e.message());
    } catch (const std::bad_alloc &) {
        report(QStringLiteral("Out of memory"));
    }
}

// The message the user sees for a failed open or read, from the platform's error number.
QString ioErrorMessage(int errorNumber);

} // namespace vog
