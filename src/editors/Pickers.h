#pragma once

#include <QString>

class QLineEdit;

namespace vog {

class FileOpenDialog;
class LineList;

// The browse families, shared by every browse button of every window.

// `seen` is the path the tosser follows for the field's text (its [NAME] words expanded; empty
// where it can't be known): a browse starts there, and where it ends there the field keeps its
// text as written.

// Runs the window's file dialog and puts the name it holds afterwards into the field: the file
// just chosen or, after a cancel, the one it returned last (empty if none yet).
void pickFile(FileOpenDialog *dialog, QLineEdit *field, const QString &seen = {});

// Shows the directory chooser modally and puts its open directory into the field, however the
// chooser was closed.
void pickDirectory(QLineEdit *field, const QString &seen = {});

// As pickFile, but appends the name to the list as a new last line.
void appendPickedFile(FileOpenDialog *dialog, LineList *list);

} // namespace vog
