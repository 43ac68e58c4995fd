#pragma once

#include "reader/Address.h"

#include <QDialog>

#include <functional>

class QDialogButtonBox;
class QLabel;
class QLineEdit;

namespace vog {

// The dialog of New, Copy and Rename on the Link Keywords window: a link's name and, for a new
// link or a copy, its address. OK is enabled only while what is typed can be taken; a line
// below the fields says why it can't.
class LinkDialog : public QDialog
{
    Q_OBJECT
public:
    // Why the name and address can't be taken, or an empty text when they can.
    using Check = std::function<QString(const QString &name, const QString &address)>;

    LinkDialog(const QString &title, const QString &name, bool asksAddress, Check check,
               QWidget *parent = nullptr);

    QString name() const;
    QString address() const;

    QLineEdit *LinkNameEdit;
    QLineEdit *LinkAkaEdit = nullptr;
    QLabel *LinkDialogReason;
    QDialogButtonBox *LinkDialogButtons;

private:
    void checkTyped();
    Check m_check;
};

} // namespace vog
