#include "richtext/rtf_parser.h"

namespace korvel::rtf {

bool RtfParser::paragraphWord(RtfKeyword keyword, const RtfToken& token) {
    GroupState& s = state();
    ParaState& p = s.para;
    const int param = token.param;
    using K = RtfKeyword;
    switch (keyword) {
    case K::Pard: {
        const ParaState fresh;
        p = fresh;
        return true;
    }
    case K::Par:
        if (s.dest == Dest::Text && !s.chars.hidden)
            endParagraph();
        return true;
    case K::Ql:
        p.align = Qt::AlignLeft;
        return true;
    case K::Qc:
        p.align = Qt::AlignHCenter;
        return true;
    case K::Qr:
        p.align = Qt::AlignRight;
        return true;
    case K::Qj:
        p.align = Qt::AlignJustify;
        return true;
    case K::Li:
        p.left = clampInt(param, -kMaxTwips, kMaxTwips);
        return true;
    case K::Ri:
        p.right = clampInt(param, -kMaxTwips, kMaxTwips);
        return true;
    case K::Fi:
        p.first = clampInt(param, -kMaxTwips, kMaxTwips);
        return true;
    case K::Sb:
        p.before = clampInt(param, 0, kMaxTwips);
        return true;
    case K::Sa:
        p.after = clampInt(param, 0, kMaxTwips);
        return true;
    case K::RtlPar:
        p.rtl = true;
        return true;
    case K::LtrPar:
        p.rtl = false;
        return true;
    case K::Intbl:
        p.inTable = true;
        return true;
    default:
        return false;
    }
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

} // namespace korvel::rtf
