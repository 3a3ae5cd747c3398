#include "richtext/rtf_parser.h"

namespace korvel::rtf {

namespace {
constexpr int kMaxColumns = 63;
// QTextTable rebuilds its cell grid on every appended row, so very long
// tables are continued as a new table to keep reading linear.
constexpr int kMaxTableRows = 500;
} // namespace

bool RtfParser::tableWord(RtfKeyword keyword, const RtfToken& token) {
    const bool text = state().dest == Dest::Text;
    using K = RtfKeyword;
    switch (keyword) {
    case K::Trowd:
        cellx_.clear();
        rowBorders_ = false;
        rowAlign_ = Qt::AlignLeft;
        return true;
    case K::Cellx:
        if (static_cast<int>(cellx_.size()) < kMaxColumns)
            cellx_.push_back(clampInt(token.param, 0, kMaxTwips * 2));
        return true;
    case K::ClBorder:
        rowBorders_ = true;
        return true;
    case K::Trqc:
        rowAlign_ = Qt::AlignHCenter;
        return true;
    case K::Trqr:
        rowAlign_ = Qt::AlignRight;
        return true;
    case K::Cell:
        if (text)
            endCell();
        return true;
    case K::Row:
        if (text && table_)
            rowDone_ = true;
        return true;
    // Tables nested in a cell come out flat: their cells as tabs, their rows as lines.
    case K::NestCell:
        if (text)
            appendUnit(u'\t');
        return true;
    case K::NestRow:
        if (text)
            appendUnit(0x2028);
        return true;
    default:
        return false;
    }
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

} // namespace korvel::rtf
