#pragma once

#include <QDialog>

#include <functional>

class QDialogButtonBox;
class QLabel;
class QLineEdit;

namespace vog {

// Why a text can't be taken as a link's address, or an empty text when it reads as one; said
// under the field, as the link dialog says it.
QString addressRefusal(const QString &address);

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
