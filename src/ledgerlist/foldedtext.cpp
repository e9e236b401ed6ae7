#include "ledgerlist/foldedtext.h"

#include <cstring>

#include <QChar>
#include <QList>
#include <algorithm>
#include <array>
#include <memory>

namespace {

// The folds of the Basic Multilingual Plane, worked out once: decomposing and case folding each
// character on every comparison would make a search over a million entries far too slow.
const std::array<char16_t, 0x10000>& bmpFolds()
{
    static const std::unique_ptr<std::array<char16_t, 0x10000>> table = [] {
        auto folds = std::make_unique<std::array<char16_t, 0x10000>>();
        for (char32_t c = 0; c < 0x10000; ++c) {
            const QChar ch(static_cast<char16_t>(c));
            if (ch.category() == QChar::Mark_NonSpacing) {
                (*folds)[c] = 0;
                continue;
            }
            const QString decomposed = ch.decomposition();
            const QChar base = decomposed.isEmpty() || decomposed[0].isSurrogate() ? ch : decomposed[0];
            (*folds)[c] = base.toCaseFolded().unicode();
        }
        return folds;
    }();
    return *table;
}

constexpr std::array<char, 256> asciiLower = [] {
    std::array<char, 256> lower{};
    for (int c = 0; c < 256; ++c)
        lower[size_t(c)] = char(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return lower;
}();

char lowerAscii(char c)
{
    return asciiLower[static_cast<unsigned char>(c)];
}

// Decodes one UTF-8 character at `at`, moving `at` past it; a broken sequence reads as U+FFFD.
char32_t nextCharacter(QByteArrayView text, qsizetype& at)
{
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at++);
    if (lead < 0x80)
        return lead;
    const int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
    if (extra < 0 || at + extra > text.size())
        return 0xFFFD;
    char32_t c = lead & (0x3F >> extra);
    for (int i = 0; i < extra; ++i) {
        if ((byte(at) & 0xC0) != 0x80)
            return 0xFFFD;
        c = (c << 6) | (byte(at++) & 0x3F);
    }
    return c;
}

bool asciiContains(QByteArrayView haystack, const std::string& needle)
{
    const qsizetype n = qsizetype(needle.size());
    const char first = needle[0];
    for (qsizetype i = 0; i + n <= haystack.size(); ++i) {
        if (lowerAscii(haystack[i]) != first)
            continue;
        qsizetype k = 1;
        while (k < n && lowerAscii(haystack[i + k]) == needle[size_t(k)])
            ++k;
        if (k == n)
            return true;
    }
    return false;
}

} // namespace

char32_t foldCharacter(char32_t c)
{
    if (c < 0x80)
        return char32_t(lowerAscii(char(c)));
    if (c < 0x10000)
        return bmpFolds()[c];
    return QChar::toCaseFolded(c);
}

bool isAscii(QByteArrayView utf8)
{
    // Eight bytes at a time and without branches: a refill asks this of every text it reads.
    const char* p = utf8.data();
    const char* const end = p + utf8.size();
    quint64 any = 0;
    for (; end - p >= 8; p += 8) {
        quint64 word;
        std::memcpy(&word, p, sizeof word);
        any |= word;
    }
    for (; p < end; ++p)
        any |= static_cast<unsigned char>(*p);
    return (any & 0x8080808080808080ull) == 0;
}

FoldedText::FoldedText(const QString& text)
{
    for (char32_t c : text.toUcs4()) {
        if (const char32_t folded = foldCharacter(c))
            needle_.push_back(folded);
    }
    if (std::all_of(needle_.begin(), needle_.end(), [](char32_t c) { return c < 0x80; })) {
        asciiNeedle_.assign(needle_.begin(), needle_.end());
        for (char c : asciiNeedle_)
            asciiLetters_.set(size_t(c));
    }
}

bool FoldedText::mayMatchOnlyFolded(QByteArrayView utf8) const
{
    // The ASCII characters are compared as they stand; only a non-ASCII character that folds
    // into one of the needle's letters, or folds away, can make a match the plain search missed.
    for (qsizetype at = 0; at < utf8.size();) {
        if (static_cast<unsigned char>(utf8[at]) < 0x80) {
            ++at;
            continue;
        }
        const char32_t folded = foldCharacter(nextCharacter(utf8, at));
        if (folded == 0 || (folded < 0x80 && asciiLetters_.test(size_t(folded))))
            return true;
    }
    return false;
}

bool FoldedText::foundIn(QByteArrayView utf8, bool asciiOnly) const
{
    if (needle_.empty())
        return true;
    if (!asciiNeedle_.empty()) {
        if (asciiContains(utf8, asciiNeedle_))
            return true;
        if (asciiOnly || !mayMatchOnlyFolded(utf8))
            return false;
    } else if (asciiOnly) {
        return false;
    }
    thread_local std::u32string folded;
    folded.clear();
    for (qsizetype at = 0; at < utf8.size();) {
        if (const char32_t c = foldCharacter(nextCharacter(utf8, at)))
            folded.push_back(c);
    }
    return folded.find(needle_) != std::u32string::npos;
}
