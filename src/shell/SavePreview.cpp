#include "SavePreview.h"

#include "fields/SharedFont.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>
#include <QTextCursor>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The diff, removed lines on red, added lines on green, each hunk's line numbers in blue and
// the file names in bold, as diffs are usually read. Lines are coloured as they come into view:
// colouring a block lays it out, and a diff of thousands of long lines is shown without
// laying every one of them out first.
class DiffView final : public QPlainTextEdit
{
public:
    using QPlainTextEdit::QPlainTextEdit;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        const qreal bottom = viewport()->rect().bottom();
        const QPointF offset = contentOffset();
        for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
            if (blockBoundingGeometry(block).translated(offset).top() > bottom)
                break;
            if (block.userState() != Coloured) {
                block.setUserState(Coloured);
                colour(block);
            }
        }
        QPlainTextEdit::paintEvent(event);
    }

private:
    static constexpr int Coloured = 1;

    void colour(const QTextBlock &block)
    {
        const QString line = block.text();
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
        block.layout()->setFormats({{0, int(line.size()), format}});
        document()->markContentsDirty(block.position(), block.length());
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
    SaveDiff = new DiffView(this);
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
