#pragma once

#include <QByteArrayView>
#include <cstdint>
#include <string_view>

namespace korvel {

// One lexical unit of an RTF stream. Views point into the tokenizer's input.
struct RtfToken {
    enum class Kind {
        End,
        GroupOpen,
        GroupClose,
        ControlWord,   // word, hasParam, param
        ControlSymbol, // symbol (\~, \-, \*, ...)
        Text,          // text: a run of plain bytes, no CR/LF
        HexByte,       // byte from \'hh
        Binary,        // text: the raw bytes of \binN (clamped to the input)
    };
    Kind kind = Kind::End;
    std::string_view text;
    bool hasParam = false;
    int param = 0;
    char symbol = 0;
    std::uint8_t byte = 0;
};

// Splits RTF bytes into tokens in one forward pass; never looks back, so the
// whole stream costs time linear in its length.
class RtfTokenizer {
public:
    explicit RtfTokenizer(QByteArrayView data);

    RtfToken next();
    qsizetype position() const { return pos_; }
    // True once a \binN claimed more bytes than were left.
    bool binaryCut() const { return binaryCut_; }

private:
    RtfToken readControl();

    const char* data_;
    qsizetype size_;
    qsizetype pos_ = 0;
    bool binaryCut_ = false;
};

// The value of one hex digit, or -1.
int hexDigit(char c);

} // namespace korvel
