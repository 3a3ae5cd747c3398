#pragma once

// The RTF reader's parser, shared by the files that each handle one subject
// of the format: destinations and the header's tables, character and
// paragraph properties, text, tables and pictures. Not part of the library's
// interface; rtf_reader.h is.

#include "richtext/rtf_codepage.h"
#include "richtext/rtf_keywords.h"
#include "richtext/rtf_reader.h"
#include "richtext/rtf_tokenizer.h"

#include <QColor>
#include <QImage>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextTable>
#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace korvel::rtf {

constexpr int kMaxColours = 4096;
constexpr size_t kFormatCacheSize = 32; // formats kept for reuse, of each kind
constexpr int kMaxTwips = 31680;        // 22 inches
constexpr double kTwipsPerPixel = 15.0;

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

inline int clampInt(int value, int low, int high) {
    return std::clamp(value, low, high);
}

// Characters QTextCursor::insertText turns into block or frame breaks; the
// reader places blocks itself, so they must not come in as text.
char16_t safeUnit(char16_t unit);

class RtfParser {
public:
    RtfParser(QTextCursor& cursor, const QByteArray& rtf)
        : cursor_(cursor)
        , tokens_(rtf) {}

    RtfReadResult run();

private:
    GroupState& state() { return stack_.back(); }

    // rtf_parser.cpp: groups and the dispatch of tokens
    void openGroup();
    void closeGroup();
    void handleWord(const RtfToken& token);
    void handleSymbol(char symbol);
    void handleText(std::string_view bytes);
    void handleHexByte(std::uint8_t byte);
    void handleBinary(std::string_view bytes);

    // Each subject's control words; false when the word is not one of them.
    bool destinationWord(RtfKeyword keyword, const RtfToken& token);
    bool characterWord(RtfKeyword keyword, const RtfToken& token);
    bool paragraphWord(RtfKeyword keyword, const RtfToken& token);
    bool textWord(RtfKeyword keyword, const RtfToken& token);
    bool tableWord(RtfKeyword keyword, const RtfToken& token);
    bool pictureWord(RtfKeyword keyword, const RtfToken& token);

    // rtf_destinations.cpp: destinations, the font and colour tables
    void setDestination(Dest dest);
    void fontTableText(std::string_view bytes);
    void colorTableText(std::string_view bytes);
    void finishFontName(FontEntry& font);
    FontEntry* currentTableFont();
    const FontEntry* font(int number) const;
    const CodePageDecoder& decoderFor(const FontEntry* font) const;

    // rtf_text.cpp: text runs and their decoding
    void appendBytes(std::string_view bytes);
    void flushMultiByte();
    void appendUnit(char16_t unit);
    char16_t unicodeUnit(char16_t unit);
    QString& textSink();
    void flushText();

    // rtf_character_properties.cpp
    QTextCharFormat charFormat(const CharState& chars);

    // rtf_paragraph_properties.cpp: paragraphs and where content goes
    void prepareContent(bool tableContent);
    void realizeParagraphBreak();
    void endParagraph();
    void applyBlockFormat();
    QTextBlockFormat blockFormat(const ParaState& para);

    // rtf_tables.cpp
    void startTable();
    void startRow();
    void leaveTable();
    void moveToCell(int row, int column);
    void endCell();
    void nextCell();

    // rtf_pictures.cpp
    void pictureText(std::string_view bytes);
    void finishPicture();
    QImage decodePicture(Picture& picture);
    QString pictureResource(const QImage& image);
    QString placeholderResource(int width, int height);

    QTextCursor& cursor_;
    RtfTokenizer tokens_;
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
    // Pixel bytes of every picture this text made, placeholders included.
    qint64 imageBytes_ = 0;
    std::map<std::pair<int, int>, QString> placeholders_; // by size: one image each
    QString smallPlaceholder_;                            // shared by all pictures past the budget
};

} // namespace korvel::rtf
