#pragma once

#include <QByteArrayView>
#include <QString>
#include <bitset>
#include <string>

// Text compared the way a person searching a ledger expects: without regard to case or accents, so
// "cafe" finds "Café" and "MULLER" finds "Müller". Every character folds to one character: its base
// letter in lower case; combining marks fold away.
class FoldedText
{
public:
    FoldedText() = default;
    explicit FoldedText(const QString& text);

    bool isEmpty() const { return needle_.empty(); }
    // Whether the UTF-8 text contains this one. `asciiOnly` says the text holds no byte above 127,
    // which allows a quicker search.
    bool foundIn(QByteArrayView utf8, bool asciiOnly) const;

private:
    bool mayMatchOnlyFolded(QByteArrayView utf8) const;

    std::u32string needle_;
    std::string asciiNeedle_;       // the needle again, when it folded to ASCII only
    std::bitset<128> asciiLetters_; // the characters of asciiNeedle_
};

// One character folded as above; 0 for a character that folds away (a combining mark).
char32_t foldCharacter(char32_t c);

// Whether the UTF-8 text holds only ASCII bytes.
bool isAscii(QByteArrayView utf8);
