#include "richtext/rtf_tokenizer.h"

#include <limits>

namespace korvel {

namespace {

constexpr qsizetype kMaxWordLength = 32;

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

RtfToken makeToken(RtfToken::Kind kind) {
    RtfToken token;
    token.kind = kind;
    return token;
}

} // namespace

RtfTokenizer::RtfTokenizer(QByteArrayView data)
    : data_(data.data())
    , size_(data.size()) {}

RtfToken RtfTokenizer::next() {
    while (pos_ < size_) {
        const char c = data_[pos_];
        switch (c) {
        case '{':
            ++pos_;
            return makeToken(RtfToken::Kind::GroupOpen);
        case '}':
            ++pos_;
            return makeToken(RtfToken::Kind::GroupClose);
        case '\\':
            return readControl();
        case '\r':
        case '\n':
            ++pos_;
            continue;
        default: {
            const qsizetype start = pos_;
            while (pos_ < size_) {
                const char d = data_[pos_];
                if (d == '{' || d == '}' || d == '\\' || d == '\r' || d == '\n')
                    break;
                ++pos_;
            }
            RtfToken token = makeToken(RtfToken::Kind::Text);
            token.text = std::string_view(data_ + start, static_cast<size_t>(pos_ - start));
            return token;
        }
        }
    }
    return makeToken(RtfToken::Kind::End);
}

RtfToken RtfTokenizer::readControl() {
    ++pos_; // the backslash
    if (pos_ >= size_)
        return makeToken(RtfToken::Kind::End);
    const char c = data_[pos_];
    if (!isLetter(c)) {
        ++pos_;
        if (c == '\'') {
            int value = 0;
            int digits = 0;
            while (digits < 2 && pos_ < size_) {
                const int h = hexDigit(data_[pos_]);
                if (h < 0)
                    break;
                value = value * 16 + h;
                ++digits;
                ++pos_;
            }
            if (digits == 0) { // a broken escape shows nothing rather than a guess
                RtfToken broken = makeToken(RtfToken::Kind::ControlSymbol);
                broken.symbol = c;
                return broken;
            }
            RtfToken token = makeToken(RtfToken::Kind::HexByte);
            token.byte = static_cast<std::uint8_t>(value);
            return token;
        }
        RtfToken token = makeToken(RtfToken::Kind::ControlSymbol);
        token.symbol = c == '\r' ? '\n' : c;
        return token;
    }

    const qsizetype start = pos_;
    while (pos_ < size_ && isLetter(data_[pos_]))
        ++pos_;
    RtfToken token = makeToken(RtfToken::Kind::ControlWord);
    // Overlong words are consumed whole but never match a known word.
    const qsizetype length = pos_ - start;
    token.text =
        std::string_view(data_ + start, static_cast<size_t>(length > kMaxWordLength ? 0 : length));

    bool negative = false;
    if (pos_ < size_ && data_[pos_] == '-' && pos_ + 1 < size_ && isDigit(data_[pos_ + 1])) {
        negative = true;
        ++pos_;
    }
    if (pos_ < size_ && isDigit(data_[pos_])) {
        // Absurd parameters saturate instead of overflowing.
        constexpr long long kLimit = std::numeric_limits<int>::max();
        long long value = 0;
        while (pos_ < size_ && isDigit(data_[pos_])) {
            if (value <= kLimit)
                value = value * 10 + (data_[pos_] - '0');
            ++pos_;
        }
        if (value > kLimit)
            value = kLimit;
        token.hasParam = true;
        token.param = static_cast<int>(negative ? -value : value);
    }
    if (pos_ < size_ && data_[pos_] == ' ')
        ++pos_;

    if (token.text == "bin" && token.hasParam) {
        const qsizetype wanted = token.param > 0 ? token.param : 0;
        const qsizetype available = size_ - pos_;
        const qsizetype length = wanted < available ? wanted : available;
        binaryCut_ = binaryCut_ || wanted > available;
        RtfToken binary = makeToken(RtfToken::Kind::Binary);
        binary.text = std::string_view(data_ + pos_, static_cast<size_t>(length));
        pos_ += length;
        return binary;
    }
    return token;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace korvel
