#include "OpenCommand.h"

#include "ConfigFile.h"
#include "ConfigScanner.h"
#include "KeywordTable.h"
#include "LinkStore.h"
#include "NumberConversion.h"
#include "Text.h"
#include "ValueRules.h"
#include "editors/TFiles_and_Paths.h"
#include "editors/TGeneral_Keywords.h"
#include "editors/TLink_Keywords.h"
#include "shell/ChoiceField.h"
#include "shell/FlagBoxes.h"
#include "shell/LineList.h"
#include "shell/NumberField.h"
#include "shell/RadioChoice.h"
#include "shell/Startup.h"
#include "shell/TextField.h"

#include <QComboBox>
#include <QSignalBlocker>

#include <vector>

namespace vog {

namespace {

// One run of the command: the fields of the keyword table found once, the line-list and
// link-list appends held back and made in one go by flush() when the run ends, however it ends.
class OpenRun
{
public:
    OpenRun()
        : m_table(keywordTable()), m_fields(m_table.size(), nullptr),
          m_pendingLines(m_table.size()), m_store(Link_Keywords->LinksStringGrid),
          // Link records of this file are numbered on after those of earlier Opens, so that
          // entry i of the link list always names column i + 1.
          m_linkCounter(m_store.columnCount() - 1)
    {
        for (std::size_t i = 0; i < m_table.size(); ++i) {
            const KeywordEntry &e = m_table[i];
            if (e.target == Target::LinkRecord || !e.field)
                continue;
            QWidget *window = e.target == Target::General ? static_cast<QWidget *>(General_Keywords)
                                                          : static_cast<QWidget *>(Files_and_Paths);
            m_fields[i] = window->findChild<QWidget *>(QString::fromLatin1(e.field));
        }
    }

    void apply(const KeywordLine &line)
    {
        const KeywordEntry &e = *line.entry;
        const std::size_t i = std::size_t(&e - m_table.data());
        QByteArrayView value = line.value;
        if (e.comparesWords()) {
            lowerInto(value, m_lowered);
            value = m_lowered;
        }
        QWidget *field = m_fields[i];
        switch (e.kind) {
        case ValueKind::Text:
            if (auto *text = qobject_cast<TextField *>(field))
                text->setText(decodeValue(value));
            break;
        case ValueKind::LineList:
            if (field) {
                PendingLines &pending = m_pendingLines[i];
                if (pending.count++)
                    pending.joined += QLatin1Char('\n');
                appendDecoded(pending.joined, value);
            }
            break;
        case ValueKind::OnOff:
            setChoice(field, onOffText(value));
            break;
        case ValueKind::InvertedOnOff:
            setChoice(field, invertedOnOffText(value));
            break;
        case ValueKind::LowerUpper:
            setChoice(field, lowerUpperText(value));
            break;
        case ValueKind::Number: {
            const int number = convertNumber(value, line.lineNumber);
            if (auto *spin = qobject_cast<NumberField *>(field))
                spin->setNumber(number);
            break;
        }
        case ValueKind::Radio:
            if (auto *radio = qobject_cast<RadioChoice *>(field))
                radio->selectOption(radioOption(value, e.radio->words, e.radio->defaultOption));
            break;
        case ValueKind::Flags:
            if (auto *boxes = qobject_cast<FlagBoxes *>(field)) {
                const std::uint32_t bits = flagBits(value, *e.flags);
                for (int b = 0; b < boxes->boxCount(); ++b)
                    boxes->setBox(b, bits & (1u << b));
            }
            break;
        case ValueKind::LinkStart:
            ++m_linkCounter;
            m_column = m_linkCounter;
            m_store.setColumnCount(m_linkCounter + 1);
            m_pendingNames.append(decodeValue(value));
            m_store.setCell(m_column, e.linkRow, value);
            break;
        case ValueKind::LinkValue:
            m_store.setCell(m_column, e.linkRow, value);
            break;
        }
    }

private:
    static void setChoice(QWidget *field, const char *text)
    {
        if (auto *choice = qobject_cast<ChoiceField *>(field))
            choice->setChoiceText(QString::fromLatin1(text));
    }

public:
    // Makes the held-back appends, before the command returns or shows an error.
    void flush()
    {
        for (std::size_t i = 0; i < m_table.size(); ++i) {
            PendingLines &pending = m_pendingLines[i];
            if (!pending.count)
                continue;
            if (auto *list = qobject_cast<LineList *>(m_fields[i]))
                list->appendJoinedLines(pending.joined);
            pending = {};
        }
        if (!m_pendingNames.isEmpty()) {
            // Adding to an empty list selects its first entry; the Open selects nothing, and
            // reports no change of entry or text, so no link is loaded on the way.
            QComboBox *links = Link_Keywords->LinkChange;
            const QSignalBlocker quiet(links);
            const int index = links->currentIndex();
            const QString text = links->currentText();
            links->addItems(m_pendingNames);
            if (links->currentIndex() != index) {
                links->setCurrentIndex(index);
                if (links->isEditable())
                    links->setEditText(text);
            }
            m_pendingNames.clear();
        }
    }

private:
    const std::vector<KeywordEntry> &m_table;
    std::vector<QWidget *> m_fields;
    // A list's held-back lines, joined as the list will hold them: no string per line.
    struct PendingLines
    {
        QString joined;
        qsizetype count = 0;
    };
    std::vector<PendingLines> m_pendingLines;
    QStringList m_pendingNames;
    LinkStore &m_store;
    int m_linkCounter;
    int m_column = 0; // per-link lines before the file's first "link " go to column 0
    QByteArray m_lowered;
};

} // namespace

void OpenCommand::run(const QString &fileName, const std::function<void()> &onOpened)
{
    ConfigFile file(fileName);
    if (onOpened)
        onOpened();
    LineReader lines(file.descriptor());
    ConfigScanner scanner(lines);
    OpenRun run;
    KeywordLine line;
    try {
        while (scanner.next(line))
            run.apply(line);
    } catch (...) {
        // What the lines before the failure set is shown before the error is.
        run.flush();
        throw;
    }
    run.flush();
}

} // namespace vog
