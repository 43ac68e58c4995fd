#pragma once

#include <QDialog>

// The directory chooser that every directory browse button shows.
class TSelect_directory : public QDialog
{
    Q_OBJECT
public:
    explicit TSelect_directory(QWidget *parent = nullptr);

    // Shows the chooser modally until OK or its title-bar close button, then returns the open
    // directory.
    QString chooseDirectory();
};
