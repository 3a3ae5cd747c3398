#include "richtext/rtf_parser.h"

namespace korvel::rtf {

namespace {

char16_t symbolFontChar(std::uint8_t byte, bool wingdings) {
    if (wingdings) {
        switch (byte) {
        case 0x6C:
            return 0x25CF;
        case 0x6E:
            return 0x25A0;
        case 0x76:
            return 0x2756;
        case 0xA7:
            return 0x25AA;
        case 0xD8:
            return 0x27A2;
        case 0xFC:
            return 0x2713;
        default:
            break;
        }
    }
    if (byte == 0xB7)
        return 0x2022;
    return 0;
}

// The character a control word stands for; 0 for other words.
char16_t specialCharacter(RtfKeyword keyword) {
    using K = RtfKeyword;
    switch (keyword) {
    case K::Line:
        return 0x2028;
    case K::Tab:
        return u'\t';
    case K::EmDash:
        return 0x2014;
    case K::EnDash:
        return 0x2013;
    case K::EmSpace:
        return 0x2003;
    case K::EnSpace:
        return 0x2002;
    case K::QmSpace:
        return 0x2005;
    case K::Bullet:
        return 0x2022;
    case K::LQuote:
        return 0x2018;
    case K::RQuote:
        return 0x2019;
    case K::LDblQuote:
        return 0x201C;
    case K::RDblQuote:
        return 0x201D;
    case K::Zwj:
        return 0x200D;
    case K::Zwnj:
        return 0x200C;
    case K::LtrMark:
        return 0x200E;
    case K::RtlMark:
        return 0x200F;
    default:
        return 0;
    }
}

} // namespace

char16_t safeUnit(char16_t unit) {
    switch (unit) {
    case 0x2029:
        return 0x2028;
    case 0xFDD0:
    case 0xFDD1:
    case 0xFFFC:
        return 0xFFFD;
    default:
        return unit;
    }
}

bool RtfParser::textWord(RtfKeyword keyword, const RtfToken& token) {
    GroupState& s = state();
    const int param = token.param;
    const bool text = s.dest == Dest::Text;
    switch (keyword) {
    case RtfKeyword::Uc:
        s.uc = clampInt(param, 0, 16);
        return true;
    case RtfKeyword::U: {
        const int value = param < 0 ? param + 65536 : param;
        if (text && token.hasParam && value != 0)
            appendUnit(value >= 0 && value <= 0xFFFF ? unicodeUnit(static_cast<char16_t>(value))
                                                     : char16_t(0xFFFD));
        skipUnits_ = s.uc;
        return true;
    }
    default:
        break;
    }
    const char16_t unit = specialCharacter(keyword);
    if (unit && text)
        appendUnit(unit);
    return unit != 0;
}

QString& RtfParser::textSink() {
    prepareContent(false);
    const CharState& chars = state().chars;
    if (!pending_.isEmpty() && !(pendingChars_ == chars))
        flushText();
    if (pending_.isEmpty())
        pendingChars_ = chars;
    return pending_;
}

// Word writes symbol-font characters as U+F0xx, the font's byte in the
// private use area; show what the byte stands for.
char16_t RtfParser::unicodeUnit(char16_t unit) {
    if (unit >= 0xF020 && unit <= 0xF0FF) {
        const FontEntry* entry = font(state().chars.font < 0 ? defaultFont_ : state().chars.font);
        const auto byte = static_cast<std::uint8_t>(unit & 0xFF);
        if (const char16_t mapped = symbolFontChar(byte, entry && entry->wingdings))
            return mapped;
        if (entry && entry->symbol)
            return codePageDecoder(1252).map(byte);
    }
    return safeUnit(unit);
}

void RtfParser::appendUnit(char16_t unit) {
    if (state().chars.hidden)
        return;
    textSink().append(QChar(unit));
}

void RtfParser::appendBytes(std::string_view bytes) {
    if (state().chars.hidden)
        return;
    const int number = state().chars.font < 0 ? defaultFont_ : state().chars.font;
    if (number != textFontNumber_ || ansiCodePage_ != textAnsiCodePage_ || !textDecoder_) {
        textFontNumber_ = number;
        textAnsiCodePage_ = ansiCodePage_;
        textFont_ = font(number);
        textDecoder_ = &decoderFor(textFont_);
    }
    const FontEntry* entry = textFont_;
    const CodePageDecoder& decoder = *textDecoder_;
    if (!decoder.isSingleByte()) {
        if (multiByteDecoder_ != &decoder)
            flushMultiByte();
        multiByteDecoder_ = &decoder;
        multiByte_.append(bytes);
        return;
    }
    flushMultiByte();
    const bool symbol = entry && entry->symbol;
    QString& sink = textSink();
    const qsizetype start = sink.size();
    sink.resize(start + static_cast<qsizetype>(bytes.size()));
    char16_t* out = reinterpret_cast<char16_t*>(sink.data()) + start;
    char16_t* const begin = out;
    for (const char ch : bytes) {
        const auto b = static_cast<std::uint8_t>(ch);
        if (b < 0x20 && b != '\t')
            continue;
        char16_t unit = decoder.map(b);
        if (symbol)
            if (const char16_t replacement = symbolFontChar(b, entry->wingdings))
                unit = replacement;
        *out++ = unit;
    }
    sink.resize(start + (out - begin));
}

void RtfParser::flushMultiByte() {
    if (multiByte_.empty() || stack_.empty())
        return;
    QString decoded;
    multiByteDecoder_->appendDecoded(multiByte_, decoded);
    multiByte_.clear();
    multiByteDecoder_ = nullptr;
    if (state().chars.hidden)
        return;
    QString& sink = textSink();
    for (const QChar ch : std::as_const(decoded))
        if (ch.unicode() >= 0x20 || ch == u'\t')
            sink.append(QChar(safeUnit(ch.unicode())));
}

void RtfParser::flushText() {
    if (pending_.isEmpty())
        return;
    cursor_.insertText(pending_, charFormat(pendingChars_));
    pending_.resize(0);
}

} // namespace korvel::rtf
