#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <string_view>

class QStringDecoder;

namespace korvel {

// The code page an RTF \fcharset stands for; 0 when the charset means "the
// document's ANSI code page" (ANSI and DEFAULT) or is unknown.
int codePageOfCharset(int charset);

// Decodes the bytes of one Windows code page. Single-byte pages go through a
// table (the hot path of every Cyrillic text); multi-byte pages keep a decoder.
class CodePageDecoder {
public:
    explicit CodePageDecoder(int codePage);
    ~CodePageDecoder();
    CodePageDecoder(const CodePageDecoder&) = delete;
    CodePageDecoder& operator=(const CodePageDecoder&) = delete;

    int codePage() const { return codePage_; }
    bool isSingleByte() const { return !multiByte_; }
    // Only for single-byte pages.
    char16_t map(std::uint8_t byte) const { return table_[byte]; }
    // Any page; multi-byte sequences must be complete within bytes.
    void appendDecoded(std::string_view bytes, QString& out) const;

private:
    int codePage_;
    std::unique_ptr<QStringDecoder> multiByte_;
    char16_t table_[256];
};

// A small cache of decoders keyed by code page. Unknown pages fall back to
// Windows-1252 so hostile \cpg values cannot grow it without bound.
class CodePageCache {
public:
    CodePageCache();
    ~CodePageCache();
    const CodePageDecoder& decoder(int codePage);

private:
    struct Entry;
    std::unique_ptr<Entry[]> entries_;
    int count_ = 0;
};

// Windows-1251 encoding of one UTF-16 unit; 0 when the page has no such character.
std::uint8_t encodeWindows1251(char16_t unit);

} // namespace korvel
