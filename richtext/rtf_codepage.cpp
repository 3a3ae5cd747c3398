#include "richtext/rtf_codepage.h"

#include <QStringDecoder>
#include <array>
#include <memory>

namespace korvel {

namespace {

struct PageName {
    int codePage;
    const char* name;
    bool multiByte;
};

constexpr std::array kPages{
    PageName{437, "IBM437", false},        PageName{850, "IBM850", false},
    PageName{866, "IBM866", false},        PageName{874, "windows-874", false},
    PageName{932, "windows-31j", true},    PageName{936, "GBK", true},
    PageName{949, "windows-949", true},    PageName{950, "Big5", true},
    PageName{1250, "windows-1250", false}, PageName{1251, "windows-1251", false},
    PageName{1252, "windows-1252", false}, PageName{1253, "windows-1253", false},
    PageName{1254, "windows-1254", false}, PageName{1255, "windows-1255", false},
    PageName{1256, "windows-1256", false}, PageName{1257, "windows-1257", false},
    PageName{1258, "windows-1258", false}, PageName{10000, "macintosh", false},
};

const PageName* findPage(int codePage) {
    for (const PageName& page : kPages)
        if (page.codePage == codePage)
            return &page;
    return nullptr;
}

} // namespace

int codePageOfCharset(int charset) {
    switch (charset) {
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 254:
        return 437;
    case 255:
        return 850;
    default:
        return 0;
    }
}

CodePageDecoder::CodePageDecoder(int codePage)
    : codePage_(codePage) {
    const PageName* page = findPage(codePage);
    if (!page) {
        page = findPage(1252);
        codePage_ = 1252;
    }
    for (int b = 0; b < 0x80; ++b)
        table_[b] = static_cast<char16_t>(b);
    if (page->multiByte) {
        if (QStringDecoder(page->name).isValid()) {
            multiByteName_ = page->name;
            return;
        }
        page = findPage(1252);
        codePage_ = 1252;
    }
    QStringDecoder single(page->name, QStringDecoder::Flag::Stateless);
    for (int b = 0x80; b < 0x100; ++b) {
        if (!single.isValid()) {
            table_[b] = static_cast<char16_t>(b);
            continue;
        }
        const char byte = static_cast<char>(b);
        const QString decoded = single.decode(QByteArrayView(&byte, 1));
        table_[b] = decoded.size() == 1 ? decoded.at(0).unicode() : char16_t(0xFFFD);
    }
}

void CodePageDecoder::appendDecoded(std::string_view bytes, QString& out) const {
    if (multiByteName_) {
        QStringDecoder decoder(multiByteName_, QStringDecoder::Flag::Stateless);
        out += decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
        return;
    }
    for (const char c : bytes)
        out += QChar(table_[static_cast<std::uint8_t>(c)]);
}

const CodePageDecoder& codePageDecoder(int codePage) {
    // Building the tables costs more than reading a short question text, so
    // they are built once, all together, and never change afterwards.
    static const std::array<std::unique_ptr<const CodePageDecoder>, kPages.size()> decoders = [] {
        std::array<std::unique_ptr<const CodePageDecoder>, kPages.size()> built;
        for (size_t i = 0; i < kPages.size(); ++i)
            built[i] = std::make_unique<const CodePageDecoder>(kPages[i].codePage);
        return built;
    }();
    const PageName* page = findPage(codePage);
    if (!page)
        page = findPage(1252);
    const CodePageDecoder& decoder = *decoders[size_t(page - kPages.data())];
    // A multi-byte page without a decoder stands in for 1252.
    return decoder.codePage() == page->codePage ? decoder : codePageDecoder(1252);
}

std::uint8_t encodeWindows1251(char16_t unit) {
    const CodePageDecoder& table = codePageDecoder(1251);
    if (unit < 0x80)
        return static_cast<std::uint8_t>(unit);
    if (unit >= 0x0410 && unit <= 0x044F) // А..я, the bulk of every Russian text
        return static_cast<std::uint8_t>(unit - 0x0410 + 0xC0);
    for (int b = 0x80; b < 0xC0; ++b)
        if (table.map(static_cast<std::uint8_t>(b)) == unit && unit != 0xFFFD)
            return static_cast<std::uint8_t>(b);
    return 0;
}

} // namespace korvel
