#include "richtext/rtf_parser.h"

namespace korvel::rtf {

bool RtfParser::characterWord(RtfKeyword keyword, const RtfToken& token) {
    CharState& c = state().chars;
    const int param = token.param;
    const bool on = !token.hasParam || param != 0;
    using K = RtfKeyword;
    switch (keyword) {
    case K::F:
        c.font = param;
        return true;
    case K::Plain: {
        const CharState fresh;
        c = fresh;
        return true;
    }
    case K::Fs:
        c.halfPoints = token.hasParam && param > 0 ? clampInt(param, 2, 3276) : 24;
        return true;
    case K::B:
        c.bold = on;
        return true;
    case K::I:
        c.italic = on;
        return true;
    case K::Ul:
        c.underline = on;
        return true;
    case K::UlNone:
        c.underline = false;
        return true;
    case K::Strike:
        c.strike = on;
        return true;
    case K::Cf:
        c.foreground = clampInt(param, 0, kMaxColours);
        return true;
    case K::Cb:
    case K::Highlight:
    case K::ChCbPat:
        c.background = clampInt(param, 0, kMaxColours);
        return true;
    case K::Sub:
        c.valign = on ? VAlign::Sub : VAlign::Normal;
        return true;
    case K::Super:
        c.valign = on ? VAlign::Super : VAlign::Normal;
        return true;
    case K::NoSuperSub:
        c.valign = VAlign::Normal;
        return true;
    case K::Up:
        c.valign = token.hasParam && param == 0 ? VAlign::Normal : VAlign::Super;
        return true;
    case K::Dn:
        c.valign = token.hasParam && param == 0 ? VAlign::Normal : VAlign::Sub;
        return true;
    case K::V:
        c.hidden = on;
        return true;
    default:
        return false;
    }
}

QTextCharFormat RtfParser::charFormat(const CharState& chars) {
    for (const auto& [known, format] : charFormats_)
        if (known == chars)
            return format;
    QTextCharFormat format;
    const FontEntry* entry = font(chars.font < 0 ? defaultFont_ : chars.font);
    if (entry && !entry->symbol && !entry->name.isEmpty())
        format.setFontFamilies({entry->name});
    format.setFontPointSize(chars.halfPoints / 2.0);
    if (chars.bold)
        format.setFontWeight(QFont::Bold);
    if (chars.italic)
        format.setFontItalic(true);
    if (chars.underline)
        format.setFontUnderline(true);
    if (chars.strike)
        format.setFontStrikeOut(true);
    const auto colour = [this](int index) {
        return index > 0 && index < static_cast<int>(colours_.size()) ? colours_[index] : QColor();
    };
    if (const QColor fg = colour(chars.foreground); fg.isValid())
        format.setForeground(fg);
    if (const QColor bg = colour(chars.background); bg.isValid())
        format.setBackground(bg);
    if (chars.valign == VAlign::Super)
        format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (chars.valign == VAlign::Sub)
        format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    if (charFormats_.size() >= kFormatCacheSize)
        charFormats_.erase(charFormats_.begin());
    charFormats_.emplace_back(chars, format);
    return format;
}

} // namespace korvel::rtf
