#include "LinkDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "reader/Address.h"

namespace vog {

LinkDialog::LinkDialog(const QString &title, const QString &name, bool asksAddress, Check check,
                       QWidget *parent)
    : QDialog(parent), m_check(std::move(check))
{
    setObjectName(QStringLiteral("LinkDialog"));
    setWindowTitle(title);
    setModal(true);
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    LinkNameEdit = new QLineEdit(name, this);
    LinkNameEdit->setObjectName(QStringLiteral("LinkNameEdit"));
    LinkNameEdit->setAccessibleName(QStringLiteral("Name"));
    LinkNameEdit->setMinimumWidth(260);
    form->addRow(QStringLiteral("&Name:"), LinkNameEdit);
    if (asksAddress) {
        LinkAkaEdit = new QLineEdit(this);
        LinkAkaEdit->setObjectName(QStringLiteral("LinkAkaEdit"));
        LinkAkaEdit->setAccessibleName(QStringLiteral("Aka"));
        LinkAkaEdit->setPlaceholderText(QStringLiteral("zone:net/node"));
        form->addRow(QStringLiteral("&Aka:"), LinkAkaEdit);
        connect(LinkAkaEdit, &QLineEdit::textChanged, this, &LinkDialog::checkTyped);
    }
    layout->addLayout(form);
    LinkDialogReason = new QLabel(this);
    LinkDialogReason->setObjectName(QStringLiteral("LinkDialogReason"));
    LinkDialogReason->setWordWrap(true);
    layout->addWidget(LinkDialogReason);
    LinkDialogButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    LinkDialogButtons->setObjectName(QStringLiteral("LinkDialogButtons"));
    layout->addWidget(LinkDialogButtons);
    connect(LinkDialogButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(LinkDialogButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(LinkNameEdit, &QLineEdit::textChanged, this, &LinkDialog::checkTyped);
    LinkNameEdit->selectAll();
    checkTyped();
}

QString LinkDialog::name() const
{
    return LinkNameEdit->text().trimmed();
}

QString LinkDialog::address() const
{
    return LinkAkaEdit ? LinkAkaEdit->text().trimmed() : QString();
}

void LinkDialog::checkTyped()
{
    const QString reason = m_check(name(), address());
    LinkDialogReason->setText(reason);
    LinkDialogButtons->button(QDialogButtonBox::Ok)->setEnabled(reason.isEmpty());
}

} // namespace vog
