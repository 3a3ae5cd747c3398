#include "richtext/rtf_reader.h"

#include "richtext/rtf_codepage.h"
#include "richtext/rtf_keywords.h"
#include "richtext/rtf_tokenizer.h"

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QImageReader>
#include <QStringDecoder>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <QUrl>
#include <QVariant>
#include <QtEndian>
#include <algorithm>
#include <string>
#include <unordered_map>
#include <vector>

namespace korvel {

namespace {

// Groups nested deeper than this share the state of the deepest saved one,
// which keeps the state stack small whatever the input.
constexpr int kMaxSavedDepth = 256;
constexpr int kMaxColumns = 63;
// QTextTable rebuilds its cell grid on every appended row, so very long
// tables are continued as a new table to keep reading linear.
constexpr int kMaxTableRows = 500;
constexpr int kMaxColours = 4096;
constexpr size_t kFormatCacheSize = 32;
constexpr int kMaxImageSide = 10000;
constexpr int kMaxPlaceholderSide = 1024;
constexpr qint64 kMaxImageBytes = 64 * 1024 * 1024;
constexpr int kMaxTwips = 31680; // 22 inches
constexpr double kTwipsPerPixel = 15.0;
constexpr const char* kImageCountProperty = "korvelRtfImageCount";

enum class Dest : std::uint8_t { Text, Skip, FontTable, ColorTable, Pict, Upr };
enum class VAlign : std::uint8_t { Normal, Super, Sub };
enum class PictKind : std::uint8_t { Unknown, Png, Jpeg, Metafile };

struct CharState {
    int font = -1; // -1: the document's \deff
    int halfPoints = 24;
    int foreground = 0; // colour table index; 0 is "automatic"
    int background = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;
    VAlign valign = VAlign::Normal;
    bool operator==(const CharState&) const = default;
};

struct ParaState {
    Qt::Alignment align = Qt::AlignLeft;
    int left = 0; // twips
    int right = 0;
    int first = 0;
    int before = 0;
    int after = 0;
    bool inTable = false;
    bool rtl = false;
    bool operator==(const ParaState&) const = default;
};

struct GroupState {
    CharState chars;
    ParaState para;
    Dest dest = Dest::Text;
    Dest uprOuter = Dest::Text; // where \ud inside \upr sends the text
    bool ownsPicture = false;
    int uc = 1;
};

struct FontEntry {
    int charset = 1;
    int codePage = 0;
    std::string nameBytes;
    QString name;
    bool nameDone = false;
    bool symbol = false;
    bool wingdings = false;
};

struct Picture {
    PictKind kind = PictKind::Unknown;
    int picw = 0;
    int pich = 0;
    int goalw = 0;
    int goalh = 0;
    int scalex = 100;
    int scaley = 100;
    QByteArray data;
    int nibble = -1;
};

int clampInt(int value, int low, int high) {
    return std::clamp(value, low, high);
}

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

// Characters QTextCursor::insertText turns into block or frame breaks; the
// reader places blocks itself, so they must not come in as text.
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

// Keeps only the chunks that make up the picture. Text, profile and private
// chunks are where lying lengths and decompression bombs hide, and a
// question picture needs none of them.
QByteArray essentialPng(const QByteArray& data) {
    static constexpr char kSignature[] = "\x89PNG\r\n\x1a\n";
    if (!data.startsWith(QByteArrayView(kSignature, 8)))
        return data;
    QByteArray out(kSignature, 8);
    qsizetype pos = 8;
    while (pos + 12 <= data.size()) {
        const quint32 length = qFromBigEndian<quint32>(data.constData() + pos);
        if (length > quint64(data.size() - pos - 12))
            break;
        const QByteArrayView type(data.constData() + pos + 4, 4);
        const bool small = length <= 64;
        if (type == "IHDR" || type == "PLTE" || type == "tRNS" || type == "IDAT" ||
            type == "IEND" || (small && (type == "gAMA" || type == "sRGB" || type == "cHRM")))
            out.append(data.constData() + pos, qsizetype(length) + 12);
        pos += 12 + qsizetype(length);
        if (type == "IEND")
            break;
    }
    return out;
}

QImage placeholderImage(int width, int height) {
    const int w = std::clamp(width, 1, kMaxPlaceholderSide);
    const int h = std::clamp(height, 1, kMaxPlaceholderSide);
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(QColor(0xEE, 0xEE, 0xEE));
    const QRgb frame = qRgb(0x99, 0x99, 0x99);
    for (int x = 0; x < w; ++x) {
        image.setPixel(x, 0, frame);
        image.setPixel(x, h - 1, frame);
    }
    for (int y = 0; y < h; ++y) {
        image.setPixel(0, y, frame);
        image.setPixel(w - 1, y, frame);
    }
    return image;
}

class RtfParser {
public:
    RtfParser(QTextCursor& cursor, const QByteArray& rtf)
        : cursor_(cursor)
        , tokens_(rtf) {}

    RtfReadResult run();

private:
    GroupState& state() { return stack_.back(); }

    void openGroup();
    void closeGroup();
    void handleWord(const RtfToken& token);
    void handleSymbol(char symbol);
    void handleText(std::string_view bytes);
    void handleHexByte(std::uint8_t byte);
    void handleBinary(std::string_view bytes);

    void fontTableText(std::string_view bytes);
    void colorTableText(std::string_view bytes);
    void pictureText(std::string_view bytes);
    void finishFontName(FontEntry& font);
    FontEntry* currentTableFont();

    void setDestination(Dest dest);
    const FontEntry* font(int number) const;
    const CodePageDecoder& decoderFor(const FontEntry* font);
    void appendBytes(std::string_view bytes);
    void flushMultiByte();
    void appendUnit(char16_t unit);
    char16_t unicodeUnit(char16_t unit);
    QString& textSink();

    void prepareContent(bool tableContent);
    void realizeParagraphBreak();
    void endParagraph();
    void flushText();
    void applyBlockFormat();
    QTextCharFormat charFormat(const CharState& chars);
    QTextBlockFormat blockFormat(const ParaState& para);

    void startTable();
    void startRow();
    void leaveTable();
    void moveToCell(int row, int column);
    void endCell();
    void nextCell();

    void finishPicture();

    QTextCursor& cursor_;
    RtfTokenizer tokens_;
    CodePageCache codePages_;
    std::vector<GroupState> stack_;
    int overflowDepth_ = 0;
    bool starPending_ = false;
    int skipUnits_ = 0;
    bool contentWritten_ = false;

    int ansiCodePage_ = 1252;
    int defaultFont_ = 0;
    std::unordered_map<int, FontEntry> fonts_;
    int tableFont_ = -1; // the font table entry being read
    std::vector<QColor> colours_;
    bool colourComponentSet_ = false;
    int red_ = 0;
    int green_ = 0;
    int blue_ = 0;

    // The font and decoder of the last text run, the same for most runs.
    int textFontNumber_ = 0;
    int textAnsiCodePage_ = 0;
    const FontEntry* textFont_ = nullptr;
    const CodePageDecoder* textDecoder_ = nullptr;

    std::string multiByte_;
    const CodePageDecoder* multiByteDecoder_ = nullptr;

    QString pending_;
    CharState pendingChars_;
    // Formats are built once per distinct state: QTextDocument indexes a
    // format it has seen before much faster than a freshly built equal one.
    std::vector<std::pair<CharState, QTextCharFormat>> charFormats_;
    std::vector<std::pair<ParaState, QTextBlockFormat>> blockFormats_;

    bool paragraphPending_ = false;
    bool blockFormatKnown_ = false; // the current block already has blockPara_
    ParaState blockPara_;

    QTextTable* table_ = nullptr;
    int row_ = 0;
    int column_ = 0;
    bool rowDone_ = false;
    bool cellDone_ = false; // \cell seen; the next content opens the next cell
    std::vector<int> cellx_;
    bool rowBorders_ = false;
    Qt::Alignment rowAlign_ = Qt::AlignLeft;

    Picture picture_;
    qint64 imageBytes_ = 0;
};

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

void RtfParser::setDestination(Dest dest) {
    GroupState& s = state();
    if (s.dest == Dest::Text || dest == Dest::Skip)
        s.dest = dest;
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
    GroupState& s = state();
    CharState& c = s.chars;
    ParaState& p = s.para;
    const int param = token.param;
    const bool on = !token.hasParam || param != 0;
    const bool text = s.dest == Dest::Text;

    using K = RtfKeyword;
    switch (keyword) {
    case K::Unknown:
    case K::Rtf:
    case K::Shppict:
        break;
    case K::Ansi:
        ansiCodePage_ = 1252;
        break;
    case K::Mac:
        ansiCodePage_ = 10000;
        break;
    case K::Pc:
        ansiCodePage_ = 437;
        break;
    case K::Pca:
        ansiCodePage_ = 850;
        break;
    case K::AnsiCpg:
        if (token.hasParam)
            ansiCodePage_ = param;
        break;
    case K::Deff:
        defaultFont_ = param;
        charFormats_.clear();
        break;
    case K::FontTable:
        setDestination(Dest::FontTable);
        break;
    case K::ColorTable:
        if (s.dest == Dest::Text) {
            s.dest = Dest::ColorTable;
            colours_.clear();
            colourComponentSet_ = false;
            red_ = green_ = blue_ = 0;
            charFormats_.clear();
        }
        break;
    case K::Red:
        red_ = clampInt(param, 0, 255);
        colourComponentSet_ = true;
        break;
    case K::Green:
        green_ = clampInt(param, 0, 255);
        colourComponentSet_ = true;
        break;
    case K::Blue:
        blue_ = clampInt(param, 0, 255);
        colourComponentSet_ = true;
        break;
    case K::F:
        if (s.dest == Dest::FontTable) {
            if (FontEntry* previous = currentTableFont())
                finishFontName(*previous);
            tableFont_ = param;
            fonts_[param] = FontEntry();
            textDecoder_ = nullptr;
        } else {
            c.font = param;
        }
        break;
    case K::FCharset:
        textDecoder_ = nullptr;
        if (FontEntry* entry = s.dest == Dest::FontTable ? currentTableFont() : nullptr) {
            entry->charset = param;
            entry->symbol = param == 2;
        }
        break;
    case K::Cpg:
        textDecoder_ = nullptr;
        if (FontEntry* entry = s.dest == Dest::FontTable ? currentTableFont() : nullptr)
            entry->codePage = param;
        break;
    case K::Uc:
        s.uc = clampInt(param, 0, 16);
        break;
    case K::U: {
        const int value = param < 0 ? param + 65536 : param;
        if (text && token.hasParam && value != 0)
            appendUnit(value >= 0 && value <= 0xFFFF ? unicodeUnit(static_cast<char16_t>(value))
                                                     : char16_t(0xFFFD));
        skipUnits_ = s.uc;
        break;
    }
    case K::Upr:
        if (s.dest == Dest::Text) {
            s.uprOuter = s.dest;
            s.dest = Dest::Upr;
        }
        break;
    case K::Ud:
        if (s.dest == Dest::Upr)
            s.dest = s.uprOuter;
        break;
    case K::Skip:
        s.dest = Dest::Skip;
        break;
    case K::Pict:
        if (s.dest == Dest::Text) {
            s.dest = Dest::Pict;
            s.ownsPicture = true;
            picture_ = Picture();
        } else if (s.dest != Dest::Pict) {
            s.dest = Dest::Skip;
        }
        break;
    case K::Plain: {
        const CharState fresh;
        c = fresh;
        break;
    }
    case K::Fs:
        c.halfPoints = token.hasParam && param > 0 ? clampInt(param, 2, 3276) : 24;
        break;
    case K::B:
        c.bold = on;
        break;
    case K::I:
        c.italic = on;
        break;
    case K::Ul:
        c.underline = on;
        break;
    case K::UlNone:
        c.underline = false;
        break;
    case K::Strike:
        c.strike = on;
        break;
    case K::Cf:
        c.foreground = clampInt(param, 0, kMaxColours);
        break;
    case K::Cb:
    case K::Highlight:
    case K::ChCbPat:
        c.background = clampInt(param, 0, kMaxColours);
        break;
    case K::Sub:
        c.valign = on ? VAlign::Sub : VAlign::Normal;
        break;
    case K::Super:
        c.valign = on ? VAlign::Super : VAlign::Normal;
        break;
    case K::NoSuperSub:
        c.valign = VAlign::Normal;
        break;
    case K::Up:
        c.valign = token.hasParam && param == 0 ? VAlign::Normal : VAlign::Super;
        break;
    case K::Dn:
        c.valign = token.hasParam && param == 0 ? VAlign::Normal : VAlign::Sub;
        break;
    case K::V:
        c.hidden = on;
        break;
    case K::Pard: {
        const ParaState fresh;
        p = fresh;
        break;
    }
    case K::Par:
        if (text && !c.hidden)
            endParagraph();
        break;
    case K::Line:
        if (text)
            appendUnit(0x2028);
        break;
    case K::Tab:
        if (text)
            appendUnit(u'\t');
        break;
    case K::Ql:
        p.align = Qt::AlignLeft;
        break;
    case K::Qc:
        p.align = Qt::AlignHCenter;
        break;
    case K::Qr:
        p.align = Qt::AlignRight;
        break;
    case K::Qj:
        p.align = Qt::AlignJustify;
        break;
    case K::Li:
        p.left = clampInt(param, -kMaxTwips, kMaxTwips);
        break;
    case K::Ri:
        p.right = clampInt(param, -kMaxTwips, kMaxTwips);
        break;
    case K::Fi:
        p.first = clampInt(param, -kMaxTwips, kMaxTwips);
        break;
    case K::Sb:
        p.before = clampInt(param, 0, kMaxTwips);
        break;
    case K::Sa:
        p.after = clampInt(param, 0, kMaxTwips);
        break;
    case K::RtlPar:
        p.rtl = true;
        break;
    case K::LtrPar:
        p.rtl = false;
        break;
    case K::EmDash:
        if (text)
            appendUnit(0x2014);
        break;
    case K::EnDash:
        if (text)
            appendUnit(0x2013);
        break;
    case K::EmSpace:
        if (text)
            appendUnit(0x2003);
        break;
    case K::EnSpace:
        if (text)
            appendUnit(0x2002);
        break;
    case K::QmSpace:
        if (text)
            appendUnit(0x2005);
        break;
    case K::Bullet:
        if (text)
            appendUnit(0x2022);
        break;
    case K::LQuote:
        if (text)
            appendUnit(0x2018);
        break;
    case K::RQuote:
        if (text)
            appendUnit(0x2019);
        break;
    case K::LDblQuote:
        if (text)
            appendUnit(0x201C);
        break;
    case K::RDblQuote:
        if (text)
            appendUnit(0x201D);
        break;
    case K::Zwj:
        if (text)
            appendUnit(0x200D);
        break;
    case K::Zwnj:
        if (text)
            appendUnit(0x200C);
        break;
    case K::LtrMark:
        if (text)
            appendUnit(0x200E);
        break;
    case K::RtlMark:
        if (text)
            appendUnit(0x200F);
        break;
    case K::Trowd:
        cellx_.clear();
        rowBorders_ = false;
        rowAlign_ = Qt::AlignLeft;
        break;
    case K::Cellx:
        if (static_cast<int>(cellx_.size()) < kMaxColumns)
            cellx_.push_back(clampInt(param, 0, kMaxTwips * 2));
        break;
    case K::ClBorder:
        rowBorders_ = true;
        break;
    case K::Trqc:
        rowAlign_ = Qt::AlignHCenter;
        break;
    case K::Trqr:
        rowAlign_ = Qt::AlignRight;
        break;
    case K::Intbl:
        p.inTable = true;
        break;
    case K::Cell:
        if (text)
            endCell();
        break;
    case K::Row:
        if (text && table_)
            rowDone_ = true;
        break;
    case K::NestCell:
        if (text)
            appendUnit(u'\t');
        break;
    case K::NestRow:
        if (text)
            appendUnit(0x2028);
        break;
    case K::PngBlip:
        picture_.kind = PictKind::Png;
        break;
    case K::JpegBlip:
        picture_.kind = PictKind::Jpeg;
        break;
    case K::WMetafile:
    case K::EmfBlip:
    case K::MacPict:
    case K::DiBitmap:
    case K::WBitmap:
        picture_.kind = PictKind::Metafile;
        break;
    case K::Picw:
        picture_.picw = clampInt(param, 0, 1 << 24);
        break;
    case K::Pich:
        picture_.pich = clampInt(param, 0, 1 << 24);
        break;
    case K::PicwGoal:
        picture_.goalw = clampInt(param, 0, 1 << 24);
        break;
    case K::PichGoal:
        picture_.goalh = clampInt(param, 0, 1 << 24);
        break;
    case K::PicScaleX:
        picture_.scalex = clampInt(param, 1, 10000);
        break;
    case K::PicScaleY:
        picture_.scaley = clampInt(param, 1, 10000);
        break;
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
    codePages_.decoder(page).appendDecoded(font.nameBytes, name);
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

void RtfParser::pictureText(std::string_view bytes) {
    QByteArray& data = picture_.data;
    for (const char ch : bytes) {
        const int h = hexDigit(ch);
        if (h < 0)
            continue; // white space and stray bytes inside hex data
        if (picture_.nibble < 0) {
            picture_.nibble = h;
        } else {
            data.append(static_cast<char>(picture_.nibble * 16 + h));
            picture_.nibble = -1;
        }
    }
}

const FontEntry* RtfParser::font(int number) const {
    const auto it = fonts_.find(number);
    return it == fonts_.end() ? nullptr : &it->second;
}

const CodePageDecoder& RtfParser::decoderFor(const FontEntry* entry) {
    int page = 0;
    if (entry)
        page = entry->codePage ? entry->codePage : codePageOfCharset(entry->charset);
    return codePages_.decoder(page ? page : ansiCodePage_);
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
            return codePages_.decoder(1252).map(byte);
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

void RtfParser::prepareContent(bool tableContent) {
    contentWritten_ = true;
    const bool wantTable = tableContent || state().para.inTable;
    if (table_) {
        if (rowDone_) {
            if (wantTable)
                startRow();
            else
                leaveTable();
        } else if (cellDone_) {
            nextCell();
        }
    } else if (wantTable) {
        startTable();
    }
    if (paragraphPending_)
        realizeParagraphBreak();
}

void RtfParser::realizeParagraphBreak() {
    paragraphPending_ = false;
    const GroupState& s = state();
    cursor_.insertBlock(blockFormat(s.para), charFormat(s.chars));
    blockPara_ = s.para;
    blockFormatKnown_ = true;
}

void RtfParser::endParagraph() {
    prepareContent(false);
    flushText();
    applyBlockFormat();
    paragraphPending_ = true;
}

void RtfParser::applyBlockFormat() {
    const ParaState& para = state().para;
    if (blockFormatKnown_ && blockPara_ == para)
        return;
    cursor_.setBlockFormat(blockFormat(para));
    blockPara_ = para;
    blockFormatKnown_ = true;
}

void RtfParser::flushText() {
    if (pending_.isEmpty())
        return;
    cursor_.insertText(pending_, charFormat(pendingChars_));
    pending_.resize(0);
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

QTextBlockFormat RtfParser::blockFormat(const ParaState& para) {
    for (const auto& [known, format] : blockFormats_)
        if (known == para)
            return format;
    QTextBlockFormat format;
    format.setAlignment(para.align);
    if (para.left)
        format.setLeftMargin(para.left / kTwipsPerPixel);
    if (para.right)
        format.setRightMargin(para.right / kTwipsPerPixel);
    if (para.first)
        format.setTextIndent(para.first / kTwipsPerPixel);
    if (para.before)
        format.setTopMargin(para.before / kTwipsPerPixel);
    if (para.after)
        format.setBottomMargin(para.after / kTwipsPerPixel);
    if (para.rtl)
        format.setLayoutDirection(Qt::RightToLeft);
    if (blockFormats_.size() >= kFormatCacheSize)
        blockFormats_.erase(blockFormats_.begin());
    blockFormats_.emplace_back(para, format);
    return format;
}

void RtfParser::startTable() {
    flushText();
    paragraphPending_ = false; // the table itself starts on a new line
    const int columns = std::clamp(static_cast<int>(cellx_.size()), 1, kMaxColumns);
    QTextTableFormat format;
    format.setBorder(rowBorders_ ? 1 : 0);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setBorderCollapse(true);
    format.setCellSpacing(0);
    format.setCellPadding(3);
    format.setAlignment(rowAlign_);
    if (static_cast<int>(cellx_.size()) == columns) {
        QList<QTextLength> widths;
        int left = 0;
        for (const int right : cellx_) {
            widths << QTextLength(QTextLength::FixedLength,
                                  std::max(1, right - left) / kTwipsPerPixel);
            left = std::max(left, right);
        }
        format.setColumnWidthConstraints(widths);
    }
    table_ = cursor_.insertTable(1, columns, format);
    row_ = 0;
    rowDone_ = false;
    moveToCell(0, 0);
}

void RtfParser::startRow() {
    if (table_->rows() >= kMaxTableRows) {
        leaveTable();
        startTable();
        return;
    }
    const int wanted = std::clamp(static_cast<int>(cellx_.size()), 1, kMaxColumns);
    if (wanted > table_->columns())
        table_->appendColumns(wanted - table_->columns());
    table_->appendRows(1);
    ++row_;
    rowDone_ = false;
    moveToCell(row_, 0);
}

void RtfParser::leaveTable() {
    flushText();
    cursor_.setPosition(table_->lastPosition() + 1);
    table_ = nullptr;
    rowDone_ = false;
    cellDone_ = false;
    blockFormatKnown_ = false;
}

void RtfParser::moveToCell(int row, int column) {
    column_ = column;
    cellDone_ = false;
    cursor_ = table_->cellAt(row, column).firstCursorPosition();
    blockFormatKnown_ = false;
}

void RtfParser::endCell() {
    prepareContent(true);
    flushText();
    applyBlockFormat();
    cellDone_ = true;
}

void RtfParser::nextCell() {
    cellDone_ = false;
    if (column_ + 1 < table_->columns()) {
        moveToCell(row_, column_ + 1);
    } else if (table_->columns() < kMaxColumns) {
        table_->appendColumns(1);
        moveToCell(row_, column_ + 1);
    }
    // past the last possible column a row keeps filling its last cell
}

void RtfParser::finishPicture() {
    Picture picture = std::move(picture_);
    picture_ = Picture();
    if (state().chars.hidden)
        return;
    QImage image;
    if (picture.kind != PictKind::Metafile && !picture.data.isEmpty()) {
        // The header tells the size; pictures past the budget of this text
        // stay placeholders, so a text of many huge pictures cannot exhaust memory.
        picture.data = essentialPng(picture.data);
        QBuffer buffer(&picture.data);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        const QSize size = reader.size();
        const qint64 bytes = qint64(std::max(0, size.width())) * std::max(0, size.height()) * 4;
        if (size.isValid() && bytes <= kMaxImageBytes - imageBytes_) {
            image = reader.read();
            imageBytes_ += bytes;
        }
    }

    double width = 0;
    double height = 0;
    if (picture.goalw > 0 && picture.goalh > 0) {
        width = picture.goalw / kTwipsPerPixel;
        height = picture.goalh / kTwipsPerPixel;
    } else if (!image.isNull()) {
        width = image.width();
        height = image.height();
    } else if (picture.kind == PictKind::Metafile) {
        width = picture.picw * 96.0 / 2540.0; // hundredths of a millimetre
        height = picture.pich * 96.0 / 2540.0;
    } else {
        width = picture.picw;
        height = picture.pich;
    }
    if (width < 1 || height < 1)
        width = height = 96;
    width = std::clamp(width * picture.scalex / 100.0, 1.0, double(kMaxImageSide));
    height = std::clamp(height * picture.scaley / 100.0, 1.0, double(kMaxImageSide));
    if (image.isNull())
        image = placeholderImage(qRound(width), qRound(height));

    QTextDocument* document = cursor_.document();
    const int number = document->property(kImageCountProperty).toInt() + 1;
    document->setProperty(kImageCountProperty, number);
    const QString name = QStringLiteral("rtfimage:%1").arg(number);
    document->addResource(QTextDocument::ImageResource, QUrl(name), QVariant(image));

    prepareContent(false);
    flushText();
    QTextImageFormat format;
    format.setName(name);
    format.setWidth(width);
    format.setHeight(height);
    cursor_.insertImage(format);
}

} // namespace

bool isRtf(const QByteArray& bytes) {
    qsizetype i = 0;
    while (i < bytes.size() &&
           (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n'))
        ++i;
    return QByteArrayView(bytes).sliced(i).startsWith("{\\rtf");
}

RtfReadResult insertRtf(QTextCursor& cursor, const QByteArray& rtf) {
    if (!isRtf(rtf))
        return {false, QStringLiteral("the text does not begin with {\\rtf")};
    RtfParser parser(cursor, rtf);
    return parser.run();
}

RtfReadResult loadQuestionText(QTextCursor& cursor, const QByteArray& bytes) {
    if (isRtf(bytes))
        return insertRtf(cursor, bytes);
    QString text = QStringDecoder("windows-1251").decode(bytes);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(u'\r', u'\n');
    qsizetype kept = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (ch.unicode() >= 0x20 || ch == u'\n' || ch == u'\t')
            text[kept++] = QChar(ch == u'\n' ? ch.unicode() : safeUnit(ch.unicode()));
    }
    text.truncate(kept);
    if (text.endsWith(u'\n'))
        text.chop(1);
    cursor.beginEditBlock();
    cursor.setBlockFormat(QTextBlockFormat());
    cursor.insertText(text, QTextCharFormat());
    cursor.endEditBlock();
    return {};
}

std::unique_ptr<QTextDocument> loadQuestionText(const QByteArray& bytes, RtfReadResult* result) {
    auto document = std::make_unique<QTextDocument>();
    document->setUndoRedoEnabled(false);
    QTextCursor cursor(document.get());
    const RtfReadResult read = loadQuestionText(cursor, bytes);
    if (result)
        *result = read;
    return document;
}

} // namespace korvel
