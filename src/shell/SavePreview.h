#pragma once

#include <QDialog>
#include <QString>

#include <vector>

class QDialogButtonBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;

// What File > Save is about to write, shown before anything is: each file and the unified diff
// of its change. Save (the dialog's accept) goes on to write; Cancel writes nothing.
class SavePreview : public QDialog
{
    Q_OBJECT
public:
    struct File
    {
        QString path;
        QString diff;
        QString backup; // the .bak that keeps its bytes as read, if this save writes one
    };

    explicit SavePreview(const std::vector<File> &files, QWidget *parent = nullptr);

    QListWidget *SaveFiles;  // the files to be written; picking one shows its diff
    QLabel *SaveBackups;     // the .bak files to be written first
    QPlainTextEdit *SaveDiff;
    QDialogButtonBox *SaveButtons;

private:
    std::vector<int> m_diffAt; // each file's first line in SaveDiff
};
