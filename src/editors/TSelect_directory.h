#pragma once

#include <QDialog>
#include <QStringList>

#include <optional>

class QComboBox;
class QPushButton;

namespace vog {
class DirectoryList;
}

// The directory chooser that every directory browse button shows. One window for the whole
// run: each use opens it where the previous one left it.
class TSelect_directory : public QDialog
{
    Q_OBJECT
public:
    explicit TSelect_directory(QWidget *parent = nullptr);

    vog::DirectoryList *DirectoryListBox = nullptr;
    QComboBox *DriveComboBox = nullptr;
    QPushButton *OkButton = nullptr;

    // Shows the chooser modally until OK or its title-bar close button, then returns the open
    // directory (not the highlighted entry). It opens where it was left, or at `start`.
    QString chooseDirectory(const QString &start = {});

    // The drives are the roots of the mounted, ready file systems, "/" first, each once. For
    // tests: list these roots instead, from the next creation or showing of the chooser on
    // (std::nullopt goes back to the mounted ones).
    static void setDriveRoots(const std::optional<QStringList> &roots);
    static QStringList driveRoots();

public slots:
    void DriveComboBoxChange();
    void OkButtonClick();

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void place();
    void refreshDrives();
    void showListDrive();
};
