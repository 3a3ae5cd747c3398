#include "richtext/rtf_parser.h"

namespace korvel::rtf {

namespace {
// Groups nested deeper than this share the state of the deepest saved one,
// which keeps the state stack small whatever the input.
constexpr int kMaxSavedDepth = 256;
} // namespace

RtfReadResult RtfParser::run() {
    cursor_.beginEditBlock();
    RtfToken token = tokens_.next();
    bool started = false;
    int unclosed = 0;
    while (token.kind != RtfToken::Kind::End) {
        if (token.kind != RtfToken::Kind::Text && token.kind != RtfToken::Kind::HexByte)
            flushMultiByte();
        if (starPending_ && token.kind != RtfToken::Kind::ControlWord)
            starPending_ = false;
        switch (token.kind) {
        case RtfToken::Kind::GroupOpen:
            started = true;
            openGroup();
            break;
        case RtfToken::Kind::GroupClose:
            closeGroup();
            break;
        case RtfToken::Kind::ControlWord:
            handleWord(token);
            break;
        case RtfToken::Kind::ControlSymbol:
            handleSymbol(token.symbol);
            break;
        case RtfToken::Kind::Text:
            handleText(token.text);
            break;
        case RtfToken::Kind::HexByte:
            handleHexByte(token.byte);
            break;
        case RtfToken::Kind::Binary:
            handleBinary(token.text);
            break;
        case RtfToken::Kind::End:
            break;
        }
        if (started && stack_.empty())
            break; // text after the document's closing brace is not part of it
        token = tokens_.next();
    }
    flushMultiByte();
    while (!stack_.empty()) {
        ++unclosed;
        overflowDepth_ = 0;
        closeGroup();
    }
    cursor_.endEditBlock();

    RtfReadResult result;
    QStringList notes;
    if (unclosed > 0)
        notes << QStringLiteral("the RTF text ends with %1 unclosed group(s)").arg(unclosed);
    if (tokens_.binaryCut())
        notes << QStringLiteral("binary data (\\bin) runs past the end of the text");
    result.message = notes.join(QStringLiteral("; "));
    return result;
}

void RtfParser::openGroup() {
    skipUnits_ = 0;
    if (stack_.empty()) {
        stack_.emplace_back();
        return;
    }
    if (static_cast<int>(stack_.size()) >= kMaxSavedDepth || overflowDepth_ > 0) {
        ++overflowDepth_;
        return;
    }
    GroupState copy = stack_.back();
    copy.ownsPicture = false;
    stack_.push_back(copy);
}

void RtfParser::closeGroup() {
    skipUnits_ = 0;
    if (overflowDepth_ > 0) {
        --overflowDepth_;
        return;
    }
    if (stack_.empty())
        return;
    const GroupState closing = stack_.back();
    if (stack_.size() == 1) {
        // The document's own group: its last paragraph keeps the format in
        // effect here, unless a final \par already gave it one.
        flushText();
        if (contentWritten_ && !paragraphPending_)
            applyBlockFormat();
    }
    if (closing.dest == Dest::FontTable && stack_.size() >= 2 &&
        stack_[stack_.size() - 2].dest != Dest::FontTable) {
        if (FontEntry* entry = currentTableFont())
            finishFontName(*entry);
        tableFont_ = -1;
        charFormats_.clear();
    }
    stack_.pop_back();
    if (closing.ownsPicture && !stack_.empty() && stack_.back().dest == Dest::Text)
        finishPicture();
    if (closing.ownsPicture)
        picture_ = Picture();
}

void RtfParser::handleWord(const RtfToken& token) {
    const RtfKeyword keyword = lookupRtfKeyword(token.text);
    if (skipUnits_ > 0) {
        --skipUnits_;
        starPending_ = false;
        return;
    }
    if (stack_.empty())
        return;
    if (starPending_) {
        starPending_ = false;
        if (keyword == RtfKeyword::Unknown) {
            state().dest = Dest::Skip;
            return;
        }
    }
    // A keyword belongs to one subject at most; the others pass it on.
    for (const auto subject :
         {&RtfParser::destinationWord, &RtfParser::characterWord, &RtfParser::paragraphWord,
          &RtfParser::textWord, &RtfParser::tableWord, &RtfParser::pictureWord}) {
        if ((this->*subject)(keyword, token))
            return;
    }
}

void RtfParser::handleSymbol(char symbol) {
    if (skipUnits_ > 0) {
        --skipUnits_;
        return;
    }
    if (stack_.empty())
        return;
    if (symbol == '*') {
        starPending_ = true;
        return;
    }
    const Dest dest = state().dest;
    switch (symbol) {
    case '\\':
    case '{':
    case '}': {
        const char byte = symbol;
        handleText(std::string_view(&byte, 1));
        break;
    }
    case '~':
        if (dest == Dest::Text)
            appendUnit(0x00A0);
        break;
    case '-':
        if (dest == Dest::Text)
            appendUnit(0x00AD);
        break;
    case '_':
        if (dest == Dest::Text)
            appendUnit(0x2011);
        break;
    case '\n':
        if (dest == Dest::Text && !state().chars.hidden)
            endParagraph();
        break;
    case '\t':
        if (dest == Dest::Text)
            appendUnit(u'\t');
        break;
    default:
        break;
    }
}

void RtfParser::handleText(std::string_view bytes) {
    if (skipUnits_ > 0) {
        const size_t skipped = std::min<size_t>(static_cast<size_t>(skipUnits_), bytes.size());
        skipUnits_ -= static_cast<int>(skipped);
        bytes.remove_prefix(skipped);
    }
    if (bytes.empty() || stack_.empty())
        return;
    switch (state().dest) {
    case Dest::Text:
        appendBytes(bytes);
        break;
    case Dest::FontTable:
        fontTableText(bytes);
        break;
    case Dest::ColorTable:
        colorTableText(bytes);
        break;
    case Dest::Pict:
        pictureText(bytes);
        break;
    case Dest::Skip:
    case Dest::Upr:
        break;
    }
}

void RtfParser::handleHexByte(std::uint8_t byte) {
    if (skipUnits_ > 0) {
        --skipUnits_;
        return;
    }
    if (stack_.empty())
        return;
    const char c = static_cast<char>(byte);
    switch (state().dest) {
    case Dest::Text:
        appendBytes(std::string_view(&c, 1));
        break;
    case Dest::FontTable:
        fontTableText(std::string_view(&c, 1));
        break;
    case Dest::Pict:
        picture_.data.append(c);
        break;
    default:
        break;
    }
}

void RtfParser::handleBinary(std::string_view bytes) {
    if (skipUnits_ > 0) {
        --skipUnits_;
        return;
    }
    if (!stack_.empty() && state().dest == Dest::Pict)
        picture_.data.append(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

} // namespace korvel::rtf
