#include "SavePreview.h"

#include "fields/SharedFont.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSyntaxHighlighter>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Removed lines on red, added lines on green, each hunk's line numbers in blue and the file
// names in bold, as diffs are usually read.
class DiffColours final : public QSyntaxHighlighter
{
public:
    using QSyntaxHighlighter::QSyntaxHighlighter;

protected:
    void highlightBlock(const QString &line) override
    {
        QTextCharFormat format;
        if (line.startsWith(QLatin1String("--- ")) || line.startsWith(QLatin1String("+++ ")))
            format.setFontWeight(QFont::Bold);
        else if (line.startsWith(QLatin1String("@@")))
            format.setForeground(QColor(0x1f, 0x4e, 0x9c));
        else if (line.startsWith(QLatin1Char('-')))
            format.setBackground(QColor(0xff, 0xdc, 0xdc));
        else if (line.startsWith(QLatin1Char('+')))
            format.setBackground(QColor(0xd6, 0xf5, 0xd6));
        else
            return;
        setFormat(0, int(line.size()), format);
    }
};

} // namespace

SavePreview::SavePreview(const std::vector<File> &files, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SavePreview"));
    setWindowTitle(QStringLiteral("Save changes"));
    setModal(true);
    setFont(vog::sharedFont());
    resize(760, 540);

    auto *intro = new QLabel(files.size() == 1
                                     ? QStringLiteral("This file will be written:")
                                     : QStringLiteral("These %1 files will be written:")
                                               .arg(files.size()),
                             this);
    SaveFiles = new QListWidget(this);
    SaveFiles->setObjectName(QStringLiteral("SaveFiles"));
    SaveFiles->setAccessibleName(QStringLiteral("Files to be written"));
    intro->setBuddy(SaveFiles);

    QStringList backups;
    QString diff;
    int line = 0;
    for (const File &f : files) {
        SaveFiles->addItem(f.path);
        if (!f.backup.isEmpty())
            backups.append(f.backup);
        m_diffAt.push_back(line);
        diff += f.diff;
        line += int(f.diff.count(QLatin1Char('\n')));
    }
    // Up to five files in view; more scroll.
    SaveFiles->setMaximumHeight((SaveFiles->sizeHintForRow(0) + 2)
                                        * int(std::clamp<std::size_t>(files.size(), 1, 5))
                                + 2 * SaveFiles->frameWidth() + 4);

    SaveBackups = new QLabel(this);
    SaveBackups->setObjectName(QStringLiteral("SaveBackups"));
    SaveBackups->setWordWrap(true);
    SaveBackups->setTextInteractionFlags(Qt::TextSelectableByMouse);
    SaveBackups->setText(QStringLiteral("Before that, the bytes as read are kept in: ")
                         + backups.join(QStringLiteral(", ")));
    SaveBackups->setVisible(!backups.isEmpty());

    auto *changes = new QLabel(files.size() == 1 ? QStringLiteral("What changes in it:")
                                                 : QStringLiteral("What changes in them:"),
                               this);
    SaveDiff = new QPlainTextEdit(this);
    SaveDiff->setObjectName(QStringLiteral("SaveDiff"));
    SaveDiff->setAccessibleName(QStringLiteral("Changes to be written"));
    SaveDiff->setReadOnly(true);
    SaveDiff->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setPointSizeF(font().pointSizeF() + 1);
    SaveDiff->setFont(mono);
    if (diff.endsWith(QLatin1Char('\n')))
        diff.chop(1);
    SaveDiff->setPlainText(diff);
    new DiffColours(SaveDiff->document());
    changes->setBuddy(SaveDiff);

    SaveButtons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, this);
    SaveButtons->setObjectName(QStringLiteral("SaveButtons"));
    connect(SaveButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(SaveButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    // Picking a file scrolls its diff to the top of the view.
    connect(SaveFiles, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row < 0 || std::size_t(row) >= m_diffAt.size())
            return;
        QTextCursor cursor(SaveDiff->document()->findBlockByNumber(m_diffAt[std::size_t(row)]));
        SaveDiff->moveCursor(QTextCursor::End);
        SaveDiff->setTextCursor(cursor);
        SaveDiff->ensureCursorVisible();
    });

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(SaveFiles);
    layout->addWidget(SaveBackups);
    layout->addWidget(changes);
    layout->addWidget(SaveDiff, 1);
    layout->addWidget(SaveButtons);
    SaveDiff->setFocus();
}
