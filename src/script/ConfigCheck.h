#pragma once

#include "reader/ConfigRead.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <map>
#include <vector>

namespace vog {

// What --check finds in the files read, as a sink of the same read that the Open runs: a
// number that doesn't convert or stands outside its field's range, a word that no option or box
// takes, an On/Off word other than on, yes, off and no, a link address that another link has,
// a link without Aka, and a keyword that takes one value set again in the same file (or link
// section, or defaults block; Address stands once for each address of the node); a value of
// Address, Aka, OurAka or PackAka that is no address; a keyword that needs a value alone on its
// line; a condition without its if or endif; a [NAME] that nothing defines; a CommentChar that is
// not one character. Only lines in effect count. Nothing stops the read: every problem is kept, as
// "FILE:LINE: message", in the order of the lines.
class ConfigCheck final : public ConfigSink
{
public:
    // Each file's lines go between these; name is how messages name it. Messages quote values
    // in the file's codepage, known once its last line is read.
    void beginFile(int file, const QString &name);
    void endFile();

    void windowValue(const KeywordLine &line) override;
    void linkStarted(const KeywordLine &line, int column) override;
    void linkValue(const KeywordLine &line, int column) override;
    void otherLine(const LineFacts &facts, qint64 line) override;
    bool wantsUndefined() const override { return true; }

    const QStringList &problems() const { return m_problems; }

private:
    // A problem waiting for its file's codepage: message with %1 and %2 for two values,
    // each decoded in the codepage of the file it came from.
    struct Problem
    {
        qint64 line;
        QString message;
        QByteArray first;
        int firstFile = -1;
        QByteArray second;
        int secondFile = -1;
    };
    // The lines that set each keyword within one record, to tell a value set twice.
    using Record = std::map<int, std::vector<qint64>>;

    void checkValue(const KeywordLine &line);
    void checkAddresses(const KeywordLine &line);
    void checkUndefined(const QByteArrayList &names, qint64 line);
    void note(const KeywordLine &line, Record &record);
    void endRecord(Record &record);
    void endLink();
    void add(qint64 line, QString message, QByteArray first = {}, QByteArray second = {},
             int secondFile = -1);

    int m_file = -1;
    QString m_name;
    std::map<int, QString> m_names; // how messages name each file read
    std::vector<Problem> m_pending;
    QStringList m_problems;
    Record m_window;   // the file's window keywords
    Record m_link;     // the link section read now, or the file's lines before its first link
    Record m_defaults; // the defaults block read now
    struct Link
    {
        int column = -1;
        qint64 line = 0;
        QByteArray name;
        bool hasAka = false;
    } m_current;
    struct Address
    {
        int column;
        int file;
        qint64 line;
        QByteArray name;
    };
    std::map<QByteArray, Address> m_addresses; // every Aka address read, in lower case
};

} // namespace vog
