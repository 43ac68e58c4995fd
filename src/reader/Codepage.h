#pragma once

#include <QByteArrayView>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>

namespace vog {

// How one file's bytes become text. Cheap to copy: a codepage's mapping is made once per run.
class TextCodec
{
public:
    // Each value as UTF-8 where its bytes are valid UTF-8, as Latin-1 otherwise: the rule for a
    // file whose codepage is not known. Named "Latin-1".
    static TextCodec latin1();
    // The same rule, for a file whose non-ASCII bytes are all valid UTF-8. Named "UTF-8".
    static TextCodec utf8();

    // "UTF-8", "Latin-1", "CP866", "KOI8-R" or "Windows-1251".
    QString name() const;

    // Every byte shows as one character or as part of a UTF-8 one; none is dropped or replaced.
    // A value holding a byte that its codepage leaves undefined shows as Latin-1.
    void append(QString &out, QByteArrayView bytes) const;
    QString decode(QByteArrayView bytes) const;

    // The text as this codec's bytes, the way back from decode(). A codepage writes each
    // character as its byte; a character it has none for makes it return false and name it
    // in unheld, never a "?". The two codecs of UTF-8-or-Latin-1 write UTF-8, or Latin-1 when
    // asked for and every character fits.
    bool encode(const QString &text, QByteArray &out, char32_t &unheld,
                bool latin1 = false) const;
    bool isCodepage() const { return m_table != nullptr; }

    bool operator==(const TextCodec &other) const { return m_kind == other.m_kind; }
    bool operator!=(const TextCodec &other) const { return m_kind != other.m_kind; }

private:
    friend class CodepageDetector;
    enum class Kind : std::uint8_t { Latin1, Utf8, Cp866, Koi8r, Windows1251 };
    // The character of every byte; NoCharacter where the codepage defines none.
    using Table = std::array<char16_t, 256>;
    static constexpr char16_t NoCharacter = 0xFFFF;

    TextCodec(Kind kind, const Table *table) : m_kind(kind), m_table(table) {}
    // The codepage's codec, or none if the C library can't convert it.
    static const TextCodec *codepage(Kind kind);

    Kind m_kind;
    const Table *m_table; // null for the two UTF-8-or-Latin-1 codecs
};

// Watches the lines of one file as they are read (every line, comments too) and decides once,
// at the end, which codec shows the file.
class CodepageDetector
{
public:
    CodepageDetector();
    ~CodepageDetector();
    CodepageDetector(const CodepageDetector &) = delete;
    CodepageDetector &operator=(const CodepageDetector &) = delete;

    // Cheap for a line of plain ASCII; only lines with a byte of 0x80 or more are looked at.
    void feed(QByteArrayView line);
    // UTF-8 when every non-ASCII byte fed was valid UTF-8 (or there were none); otherwise CP866,
    // KOI8-R or Windows-1251 when the charset detector names it over enough Cyrillic text;
    // Latin-1 in every other case. The same answer on every later call.
    TextCodec decide();

private:
    void detect(QByteArrayView bytes);

    struct Detector;
    std::unique_ptr<Detector> m_detector;
    bool m_allUtf8 = true;
    qsizetype m_budget;                          // bytes the charset detector may still read
    std::array<std::uint32_t, 128> m_highCounts{}; // bytes 0x80 to 0xFF that it read
    bool m_decided = false;
    TextCodec m_answer = TextCodec::latin1();
};

} // namespace vog
