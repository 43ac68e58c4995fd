#pragma once

#include <QByteArray>
#include <QList>
#include <QMessageBox>
#include <QString>
#include <QTemporaryDir>

#include <functional>

// What an error box showed.
struct ShownError
{
    QString title;
    QString text;
    QMessageBox::Icon icon;
};

// Watches for modal message boxes while it lives, records what each showed and closes it
// with OK, so that a command that reports an error runs to its end in a test.
class ErrorBoxWatcher
{
public:
    ErrorBoxWatcher();
    ~ErrorBoxWatcher();
    const QList<ShownError> &shown() const;

private:
    struct Impl;
    Impl *d;
};

// Starts the program as main() does, and ends it again, around one test.
class Program
{
public:
    Program();
    ~Program();
};

// A configuration file written into a temporary folder for one test.
class ConfigFixture
{
public:
    QString write(const QByteArray &content, const QString &name = QStringLiteral("test.cfg"));
    QString path(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

// File > Open as the user runs it, answering the dialog with this name (or cancelling it, for
// a null name); returns the error boxes it showed.
QList<ShownError> openConfig(const QString &fileName);
QList<ShownError> openCancelled();

// A file of one link opened and the link picked, as the user does before a link's rows take
// input.
void showALink(ConfigFixture &files);

class TSelect_directory;
// Runs show (something that shows the directory chooser modally) and, while the chooser is up,
// the user's steps on it. Whatever the steps leave open is closed by its title bar, which
// answers like OK, so a failed check never hangs the run. Returns whether the chooser came.
bool withChooser(const std::function<void()> &show,
                 const std::function<void(TSelect_directory *)> &steps);

// Runs fn while a timer waits for the next modal widget of type T and hands it to onModal.
template <typename T>
void whenModal(const std::function<void(T *)> &onModal, const std::function<void()> &fn);
#include "TestSupport.inl"

// A field's state as one text, whatever its kind: a text field's or drop-down's text, a number,
// the selected radio option ("-1" for none), a line list's lines joined by "|", or the names
// of the flag boxes that are on, joined by " ".
QString fieldState(const QWidget *field);
// The state of the field with this object name on the window.
QString fieldState(const QWidget *window, const QString &name);

// The program's window with this object name ("Main", "General_Keywords", ...), or null.
QWidget *windowNamed(const QString &name);
