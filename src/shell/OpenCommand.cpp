#include "OpenCommand.h"

#include "Startup.h"
#include "editors/TFiles_and_Paths.h"
#include "editors/TGeneral_Keywords.h"
#include "editors/TLink_Keywords.h"
#include "fields/LineList.h"
#include "reader/ConfigFile.h"
#include "reader/ConfigRead.h"

#include <QComboBox>
#include <QSignalBlocker>

namespace vog {

namespace {

// The Open's sink: each value into its field, link names to the link list. Line lists and the
// link list take their new lines in one go when the run ends, however it ends.
class OpenSink final : public ConfigSink
{
public:
    OpenSink()
    {
        for (const KeywordRow &row : keywordTable()) {
            RowForm *form = row.place == Place::General  ? General_Keywords->form()
                : row.place == Place::FilesAndPaths ? Files_and_Paths->form()
                                                    : nullptr;
            m_fields.push_back(form ? form->field(row) : nullptr);
        }
        for (auto *window : {General_Keywords->form(), Files_and_Paths->form()})
            for (LineList *list : window->findChildren<LineList *>()) {
                list->hold();
                m_lists.append(list);
            }
    }

    void windowValue(const KeywordLine &line) override
    {
        m_fields[std::size_t(line.row->index)]->setState(
                fieldState(*line.row, line.value, line.lineNumber));
    }

    void linkStarted(const KeywordLine &line, int) override
    {
        m_names.append(decodeValue(line.value));
    }

    void flush()
    {
        for (LineList *list : m_lists)
            list->release();
        if (m_names.isEmpty())
            return;
        // Adding to an empty list selects its first entry; the Open selects nothing, and
        // reports no change of entry or text, so no link is loaded on the way.
        QComboBox *links = Link_Keywords->LinkChange;
        const QSignalBlocker quiet(links);
        const int index = links->currentIndex();
        const QString text = links->currentText();
        links->addItems(m_names);
        if (links->currentIndex() != index) {
            links->setCurrentIndex(index);
            if (links->isEditable())
                links->setEditText(text);
        }
    }

private:
    std::vector<Field *> m_fields; // by keyword table index
    QList<LineList *> m_lists;
    QStringList m_names;
};

} // namespace

void OpenCommand::run(const QString &fileName, const std::function<void()> &onOpened)
{
    ConfigFile file(fileName);
    if (onOpened)
        onOpened();
    LineReader lines(file.descriptor());
    OpenSink sink;
    try {
        readConfig(lines, Link_Keywords->LinksStringGrid, sink);
    } catch (...) {
        sink.flush();
        throw;
    }
    sink.flush();
}

} // namespace vog
