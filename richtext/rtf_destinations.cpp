#include "richtext/rtf_parser.h"

namespace korvel::rtf {

void RtfParser::setDestination(Dest dest) {
    GroupState& s = state();
    if (s.dest == Dest::Text || dest == Dest::Skip)
        s.dest = dest;
}

bool RtfParser::destinationWord(RtfKeyword keyword, const RtfToken& token) {
    GroupState& s = state();
    const int param = token.param;
    using K = RtfKeyword;
    switch (keyword) {
    case K::Ansi:
        ansiCodePage_ = 1252;
        return true;
    case K::Mac:
        ansiCodePage_ = 10000;
        return true;
    case K::Pc:
        ansiCodePage_ = 437;
        return true;
    case K::Pca:
        ansiCodePage_ = 850;
        return true;
    case K::AnsiCpg:
        if (token.hasParam)
            ansiCodePage_ = param;
        return true;
    case K::Deff:
        defaultFont_ = param;
        charFormats_.clear();
        return true;
    case K::FontTable:
        setDestination(Dest::FontTable);
        return true;
    case K::ColorTable:
        if (s.dest == Dest::Text) {
            s.dest = Dest::ColorTable;
            colours_.clear();
            colourComponentSet_ = false;
            red_ = green_ = blue_ = 0;
            charFormats_.clear();
        }
        return true;
    case K::Red:
        red_ = clampInt(param, 0, 255);
        colourComponentSet_ = true;
        return true;
    case K::Green:
        green_ = clampInt(param, 0, 255);
        colourComponentSet_ = true;
        return true;
    case K::Blue:
        blue_ = clampInt(param, 0, 255);
        colourComponentSet_ = true;
        return true;
    case K::F:
        if (s.dest != Dest::FontTable)
            return false; // a character property outside the table
        if (FontEntry* previous = currentTableFont())
            finishFontName(*previous);
        tableFont_ = param;
        fonts_[param] = FontEntry();
        textDecoder_ = nullptr;
        return true;
    case K::FCharset:
        textDecoder_ = nullptr;
        if (FontEntry* entry = s.dest == Dest::FontTable ? currentTableFont() : nullptr) {
            entry->charset = param;
            entry->symbol = param == 2;
        }
        return true;
    case K::Cpg:
        textDecoder_ = nullptr;
        if (FontEntry* entry = s.dest == Dest::FontTable ? currentTableFont() : nullptr)
            entry->codePage = param;
        return true;
    case K::Upr:
        if (s.dest == Dest::Text) {
            s.uprOuter = s.dest;
            s.dest = Dest::Upr;
        }
        return true;
    case K::Ud:
        if (s.dest == Dest::Upr)
            s.dest = s.uprOuter;
        return true;
    case K::Skip:
        s.dest = Dest::Skip;
        return true;
    default:
        return false;
    }
}

FontEntry* RtfParser::currentTableFont() {
    const auto it = fonts_.find(tableFont_);
    return it == fonts_.end() ? nullptr : &it->second;
}

void RtfParser::fontTableText(std::string_view bytes) {
    FontEntry* entry = currentTableFont();
    if (!entry || entry->nameDone)
        return;
    const size_t end = bytes.find(';');
    entry->nameBytes.append(bytes.substr(0, end));
    if (entry->nameBytes.size() > 256)
        entry->nameBytes.resize(256);
    if (end != std::string_view::npos)
        finishFontName(*entry);
}

void RtfParser::finishFontName(FontEntry& font) {
    if (font.nameDone)
        return;
    font.nameDone = true;
    int page = font.codePage ? font.codePage : codePageOfCharset(font.charset);
    if (!page)
        page = ansiCodePage_;
    QString name;
    codePageDecoder(page).appendDecoded(font.nameBytes, name);
    font.name = name.trimmed();
    font.wingdings = font.name.startsWith(QLatin1String("Wingdings"), Qt::CaseInsensitive);
    font.nameBytes.clear();
    charFormats_.clear();
}

void RtfParser::colorTableText(std::string_view bytes) {
    for (const char ch : bytes) {
        if (ch != ';')
            continue;
        if (static_cast<int>(colours_.size()) < kMaxColours)
            colours_.push_back(colourComponentSet_ ? QColor(red_, green_, blue_) : QColor());
        colourComponentSet_ = false;
        red_ = green_ = blue_ = 0;
    }
}

const FontEntry* RtfParser::font(int number) const {
    const auto it = fonts_.find(number);
    return it == fonts_.end() ? nullptr : &it->second;
}

const CodePageDecoder& RtfParser::decoderFor(const FontEntry* entry) const {
    int page = 0;
    if (entry)
        page = entry->codePage ? entry->codePage : codePageOfCharset(entry->charset);
    return codePageDecoder(page ? page : ansiCodePage_);
}

} // namespace korvel::rtf
