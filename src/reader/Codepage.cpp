#include "Codepage.h"

#include "Text.h"

#include <uchardet/uchardet.h>

#include <iconv.h>

#include <algorithm>
#include <cstring>

namespace vog {

namespace {

// The 8-bit codepages of the network's nodes, as the charset detector names them, as the C
// library's converter names them and as the user reads them.
struct Codepage
{
    const char *detectorName;
    const char *converterName;
    const char *shownName;
};

constexpr Codepage codepages[] = {
    {"IBM866", "CP866", "CP866"},
    {"KOI8-R", "KOI8-R", "KOI8-R"},
    {"WINDOWS-1251", "CP1251", "Windows-1251"},
};

// The converter's character for every byte, one byte at a time: these codepages are stateless
// and one byte is one character, so this is exactly what it makes of any longer run, without a
// converter call for every value. The C library's converter rather than the toolkit's: the
// toolkit's (through ICU) swaps three control bytes of CP866 and knows nothing of these
// codepages when built without ICU. False if the converter is missing or ASCII would change.
template <typename Table>
bool buildTable(const char *converterName, Table &table, char16_t none)
{
    iconv_t cd = iconv_open("UTF-8", converterName);
    if (cd == iconv_t(-1))
        return false;
    bool ok = true;
    for (int b = 0; b < 256; ++b) {
        char in = char(b);
        char out[8];
        char *inPtr = &in;
        char *outPtr = out;
        size_t inLeft = 1, outLeft = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        const bool converted = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != size_t(-1);
        const QString c = QString::fromUtf8(out, outPtr - out);
        table[b] = converted && c.size() == 1 && c[0].unicode() != none ? c[0].unicode() : none;
        if (b < 0x80 && table[b] != b)
            ok = false;
    }
    iconv_close(cd);
    return ok;
}

bool isCyrillicLetter(char16_t c)
{
    return c >= 0x0400 && c <= 0x04FF;
}

} // namespace

TextCodec TextCodec::latin1()
{
    return TextCodec(Kind::Latin1, nullptr);
}

TextCodec TextCodec::utf8()
{
    return TextCodec(Kind::Utf8, nullptr);
}

const TextCodec *TextCodec::codepage(Kind kind)
{
    struct Codec
    {
        Table table;
        TextCodec codec;
        bool usable;
        explicit Codec(Kind k)
            : codec(k, &table),
              usable(buildTable(codepages[int(k) - int(Kind::Cp866)].converterName, table,
                                NoCharacter))
        {
        }
    };
    static const Codec cp866(Kind::Cp866), koi8r(Kind::Koi8r), windows1251(Kind::Windows1251);
    const Codec &c = kind == Kind::Cp866 ? cp866 : kind == Kind::Koi8r ? koi8r : windows1251;
    return c.usable ? &c.codec : nullptr;
}

QString TextCodec::name() const
{
    switch (m_kind) {
    case Kind::Latin1:
        return QStringLiteral("Latin-1");
    case Kind::Utf8:
        return QStringLiteral("UTF-8");
    default:
        return QLatin1StringView(codepages[int(m_kind) - int(Kind::Cp866)].shownName);
    }
}

void TextCodec::append(QString &out, QByteArrayView bytes) const
{
    if (!m_table || isAscii(bytes)) {
        appendDecoded(out, bytes);
        return;
    }
    const auto *s = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();
    const Table &table = *m_table;
    if (std::any_of(s, s + n, [&table](unsigned char b) { return table[b] == NoCharacter; })) {
        out.append(QLatin1StringView(bytes.data(), n));
        return;
    }
    const qsizetype start = out.size();
    out.resize(start + n);
    char16_t *d = reinterpret_cast<char16_t *>(out.data()) + start;
    for (qsizetype i = 0; i < n; ++i)
        d[i] = table[s[i]];
}

QString TextCodec::decode(QByteArrayView bytes) const
{
    QString text;
    append(text, bytes);
    return text;
}

bool TextCodec::encode(const QString &text, QByteArray &out, char32_t &unheld, bool latin1) const
{
    out.clear();
    if (!m_table) {
        const bool fits = latin1 && std::all_of(text.begin(), text.end(), [](QChar c) {
            return c.unicode() < 0x100;
        });
        out = fits ? text.toLatin1() : text.toUtf8();
        return true;
    }
    // The way back, made once per codepage.
    struct Reverse
    {
        std::array<std::uint8_t, 0x10000> bytes{}; // 0: no byte, but for the character 0
    };
    static std::array<std::unique_ptr<Reverse>, 5> reverses;
    std::unique_ptr<Reverse> &reverse = reverses[std::size_t(m_kind)];
    if (!reverse) {
        reverse = std::make_unique<Reverse>();
        for (int b = 255; b > 0; --b)
            if ((*m_table)[b] != NoCharacter)
                reverse->bytes[(*m_table)[b]] = std::uint8_t(b);
    }
    out.resize(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const std::uint8_t b = reverse->bytes[c];
        if (c != 0 && b == 0) {
            unheld = text[i].isHighSurrogate() && i + 1 < text.size()
                    ? QChar::surrogateToUcs4(text[i], text[i + 1])
                    : c;
            out.clear();
            return false;
        }
        out[i] = char(b);
    }
    return true;
}

// The charset detector reads at most this much of a file's lines with high bytes. Its guess
// settles within the first line or two of Russian text (measured: right from a line of 41
// letters on), and it is slow: about 20 MB/s on Russian text and 2.5 MB/s on binary junk, so
// reading a stress file's every Russian line would cost more than the scan itself. 64 KiB is
// more non-ASCII text than a hand-written configuration holds and costs at most some 30 ms.
constexpr qsizetype DetectorBudget = 64 * 1024;

// Lines are handed over in pieces of at most this size: the detector allocates a buffer the
// size of each piece it is given, so a huge line must not reach it whole.
constexpr qsizetype DetectorPiece = 16 * 1024;

// The detector's answer is taken only over at least this many bytes that read as Cyrillic
// letters in the codepage it names. On a few bytes it guesses wildly. Measured with uchardet
// 0.0.7: of 13,500 lines of random bytes with 1 to 32 high bytes, 27 came back as one of the
// three codepages, with at most 13 such letters; of 40,500 with 12 to 64 high bytes none did.
// Russian phrases of 16 letters or more are named right in 95 of 100 cases, and a sysop's name
// with an origin line passes the mark; a lone accented name never reads as Cyrillic at all.
constexpr std::uint32_t MinCyrillicLetters = 16;

struct CodepageDetector::Detector
{
    uchardet_t handle = uchardet_new();
    ~Detector()
    {
        if (handle)
            uchardet_delete(handle);
    }
};

CodepageDetector::CodepageDetector() : m_detector(new Detector), m_budget(DetectorBudget) {}

CodepageDetector::~CodepageDetector() = default;

void CodepageDetector::detect(QByteArrayView bytes)
{
    bytes = bytes.first(std::min(bytes.size(), m_budget));
    m_budget -= bytes.size();
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            ++m_highCounts[static_cast<unsigned char>(c) - 0x80];
    while (!bytes.isEmpty() && m_detector->handle) {
        const qsizetype piece = std::min(bytes.size(), DetectorPiece);
        uchardet_handle_data(m_detector->handle, bytes.data(), size_t(piece));
        bytes = bytes.sliced(piece);
    }
}

void CodepageDetector::feed(QByteArrayView line)
{
    if (m_decided || (!m_allUtf8 && m_budget == 0) || isAscii(line))
        return;
    if (m_allUtf8 && !isValidUtf8(line))
        m_allUtf8 = false;
    if (m_budget > 0) {
        detect(line);
        detect("\n"); // keeps the words of two lines apart
    }
}

TextCodec CodepageDetector::decide()
{
    if (m_decided)
        return m_answer;
    m_decided = true;
    if (m_allUtf8 || !m_detector->handle) {
        m_answer = m_allUtf8 ? TextCodec::utf8() : TextCodec::latin1();
        return m_answer;
    }
    uchardet_data_end(m_detector->handle);
    const char *found = uchardet_get_charset(m_detector->handle);
    for (int i = 0; i < int(std::size(codepages)); ++i) {
        if (!found || std::strcmp(found, codepages[i].detectorName) != 0)
            continue;
        const auto kind = TextCodec::Kind(int(TextCodec::Kind::Cp866) + i);
        const TextCodec *codec = TextCodec::codepage(kind);
        if (!codec)
            break;
        std::uint32_t letters = 0;
        for (int b = 0; b < 128; ++b)
            if (isCyrillicLetter((*codec->m_table)[b + 0x80]))
                letters += m_highCounts[b];
        if (letters >= MinCyrillicLetters)
            m_answer = *codec;
        break;
    }
    return m_answer;
}

} // namespace vog
