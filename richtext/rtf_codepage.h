#pragma once

#include <QString>
#include <cstdint>
#include <string_view>

namespace korvel {

// The code page an RTF \fcharset stands for; 0 when the charset means "the
// document's ANSI code page" (ANSI and DEFAULT) or is unknown.
int codePageOfCharset(int charset);

// Decodes the bytes of one Windows code page. Single-byte pages go through a
// table (the hot path of every Cyrillic text); multi-byte pages go through a
// decoder made for each run, so a decoder holds no state and can be shared.
class CodePageDecoder {
public:
    explicit CodePageDecoder(int codePage);
    CodePageDecoder(const CodePageDecoder&) = delete;
    CodePageDecoder& operator=(const CodePageDecoder&) = delete;

    int codePage() const { return codePage_; }
    bool isSingleByte() const { return !multiByteName_; }
    // Only for single-byte pages.
    char16_t map(std::uint8_t byte) const { return table_[byte]; }
    // Any page; multi-byte sequences must be complete within bytes.
    void appendDecoded(std::string_view bytes, QString& out) const;

private:
    int codePage_;
    const char* multiByteName_ = nullptr;
    char16_t table_[256];
};

// The decoder of a code page, built once per process. Unknown pages (and
// multi-byte pages this Qt cannot decode) fall back to Windows-1252.
const CodePageDecoder& codePageDecoder(int codePage);

// Windows-1251 encoding of one UTF-16 unit; 0 when the page has no such character.
std::uint8_t encodeWindows1251(char16_t unit);

} // namespace korvel
