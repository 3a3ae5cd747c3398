#include "richtext/rtf_writer.h"

#include "richtext/rtf_codepage.h"

#include <QBuffer>
#include <QColor>
#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>
#include <QUrl>
#include <QVariant>
#include <algorithm>
#include <cmath>

namespace korvel {

namespace {

constexpr double kTwipsPerPixel = 15.0;
constexpr int kTextWidthTwips = 9638; // A4 less the margins written below
constexpr int kHexLine = 128;

int twips(double pixels) {
    return static_cast<int>(std::lround(pixels * kTwipsPerPixel));
}

void appendHexByte(QByteArray& out, std::uint8_t byte) {
    static const char digits[] = "0123456789abcdef";
    out += "\\'";
    out += digits[byte >> 4];
    out += digits[byte & 15];
}

// Text in the writer's code page: ASCII as is, the rest of Windows-1251 as
// \'hh, anything else as \uN with '?' for readers without Unicode.
void appendEscaped(QByteArray& out, QStringView text) {
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        switch (u) {
        case u'\\':
            out += "\\\\";
            continue;
        case u'{':
            out += "\\{";
            continue;
        case u'}':
            out += "\\}";
            continue;
        case u'\t':
            out += "\\tab ";
            continue;
        case 0x2028:
            out += "\\line ";
            continue;
        case 0x00A0:
            out += "\\~";
            continue;
        case 0x00AD:
            out += "\\-";
            continue;
        case 0x2011:
            out += "\\_";
            continue;
        default:
            break;
        }
        if (u < 0x20)
            continue;
        if (u < 0x80) {
            out += static_cast<char>(u);
            continue;
        }
        if (const std::uint8_t byte = encodeWindows1251(u)) {
            appendHexByte(out, byte);
            continue;
        }
        out += "\\u";
        out += QByteArray::number(u > 32767 ? int(u) - 65536 : int(u));
        out += '?';
    }
}

class RtfWriter {
public:
    explicit RtfWriter(const QTextDocument& document)
        : document_(document) {}

    QByteArray write();

private:
    void writeFrame(const QTextFrame* frame, bool inTable);
    void writeTable(const QTextTable* table);
    void writeBlock(const QTextBlock& block, bool inTable, const char* terminator);
    void writeCharFormat(const QTextCharFormat& format);
    void writeImage(const QTextImageFormat& format);
    QImage imageOf(const QString& name) const;
    int fontIndex(const QString& family);
    int colourIndex(const QColor& colour);

    const QTextDocument& document_;
    QByteArray body_;
    QStringList fonts_;
    QHash<QString, int> fontIndexes_;
    QList<QColor> colours_;
    QHash<QRgb, int> colourIndexes_;
    QHash<qint64, QByteArray> pictureData_; // hex lines of the PNG, by QImage::cacheKey
    QTextBlock lastBlock_;
};

QByteArray RtfWriter::write() {
    const QFont base = document_.defaultFont();
    fontIndex(base.families().value(0, base.family()));
    lastBlock_ = document_.lastBlock();
    writeFrame(document_.rootFrame(), false);

    QByteArray out;
    out += "{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049\\uc1\r\n{\\fonttbl";
    for (int i = 0; i < fonts_.size(); ++i) {
        out += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset204 ";
        QString name = fonts_.at(i);
        name.remove(u';').remove(u'{').remove(u'}').remove(u'\\');
        appendEscaped(out, name);
        out += ";}";
    }
    out += "}\r\n{\\colortbl ;";
    for (const QColor& colour : std::as_const(colours_))
        out += "\\red" + QByteArray::number(colour.red()) + "\\green" +
               QByteArray::number(colour.green()) + "\\blue" + QByteArray::number(colour.blue()) +
               ';';
    out += "}\r\n{\\*\\generator "
           "KorvelTest;}\\viewkind4\\paperw11906\\paperh16838\\margl1134\\margr1134"
           "\\margt1134\\margb1134\r\n";
    out += body_;
    out += "}\r\n";
    return out;
}

void RtfWriter::writeFrame(const QTextFrame* frame, bool inTable) {
    for (auto it = frame->begin(); !it.atEnd(); ++it) {
        if (const QTextFrame* child = it.currentFrame()) {
            if (const auto* table = qobject_cast<const QTextTable*>(child); table && !inTable)
                writeTable(table);
            else
                writeFrame(child, inTable); // nested tables and frames become plain paragraphs
            continue;
        }
        const QTextBlock block = it.currentBlock();
        writeBlock(block, inTable, block == lastBlock_ ? "\r\n" : "\\par\r\n");
    }
}

void RtfWriter::writeTable(const QTextTable* table) {
    const QTextTableFormat format = table->format();
    const int columns = table->columns();
    const QList<QTextLength> constraints = format.columnWidthConstraints();
    QList<int> widths(columns, 0);
    int used = 0;
    int variable = 0;
    for (int c = 0; c < columns; ++c) {
        const QTextLength length = c < constraints.size() ? constraints.at(c) : QTextLength();
        if (length.type() == QTextLength::FixedLength)
            widths[c] = std::max(1, twips(length.rawValue()));
        else if (length.type() == QTextLength::PercentageLength)
            widths[c] = std::max(1, static_cast<int>(kTextWidthTwips * length.rawValue() / 100.0));
        else
            ++variable;
        used += widths[c];
    }
    const int share = variable ? std::max(300, (kTextWidthTwips - used) / variable) : 0;
    for (int& width : widths)
        if (width == 0)
            width = share;
    QList<int> rights(columns, 0);
    for (int c = 0, x = 0; c < columns; ++c)
        rights[c] = x += widths[c];

    const bool borders = format.border() > 0;
    for (int r = 0; r < table->rows(); ++r) {
        body_ += "\\trowd\\trgaph60\\trleft0";
        if (format.alignment() & Qt::AlignHCenter)
            body_ += "\\trqc";
        else if (format.alignment() & Qt::AlignRight)
            body_ += "\\trqr";
        for (int c = 0; c < columns; ++c) {
            const QTextTableCell cell = table->cellAt(r, c);
            if (cell.column() != c)
                continue; // covered by a cell spanning columns
            if (cell.rowSpan() > 1)
                body_ += cell.row() == r ? "\\clvmgf" : "\\clvmrg";
            if (borders)
                body_ += "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10"
                         "\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs\\brdrw10";
            const int last = std::min(columns - 1, c + cell.columnSpan() - 1);
            body_ += "\\cellx" + QByteArray::number(rights[last]);
        }
        body_ += "\r\n";
        for (int c = 0; c < columns; ++c) {
            const QTextTableCell cell = table->cellAt(r, c);
            if (cell.column() != c)
                continue;
            if (cell.row() != r) {
                body_ += "\\pard\\intbl\\cell\r\n";
                continue;
            }
            QList<QTextBlock> blocks;
            for (auto it = cell.begin(); !it.atEnd(); ++it) {
                if (const QTextFrame* child = it.currentFrame()) {
                    for (QTextBlock b = document_.findBlock(child->firstPosition());
                         b.isValid() && b.position() <= child->lastPosition(); b = b.next())
                        blocks << b;
                } else {
                    blocks << it.currentBlock();
                }
            }
            for (qsizetype i = 0; i < blocks.size(); ++i)
                writeBlock(blocks.at(i), true, i + 1 == blocks.size() ? "\\cell\r\n" : "\\par\r\n");
        }
        body_ += "\\row\r\n";
    }
}

void RtfWriter::writeBlock(const QTextBlock& block, bool inTable, const char* terminator) {
    const QTextBlockFormat format = block.blockFormat();
    body_ += inTable ? "\\pard\\plain\\intbl" : "\\pard\\plain";
    const Qt::Alignment align = format.alignment() & Qt::AlignHorizontal_Mask;
    if (align & Qt::AlignHCenter)
        body_ += "\\qc";
    else if (align & Qt::AlignJustify)
        body_ += "\\qj";
    else if (align & Qt::AlignRight)
        body_ += "\\qr";
    else
        body_ += "\\ql";
    const auto margin = [this](const char* word, double pixels) {
        if (const int value = twips(pixels))
            body_ += word + QByteArray::number(value);
    };
    margin("\\li", format.leftMargin() + format.indent() * document_.indentWidth());
    margin("\\ri", format.rightMargin());
    margin("\\fi", format.textIndent());
    margin("\\sb", format.topMargin());
    margin("\\sa", format.bottomMargin());
    if (format.layoutDirection() == Qt::RightToLeft)
        body_ += "\\rtlpar";
    writeCharFormat(block.charFormat());
    body_ += ' ';

    if (QTextList* list = block.textList()) {
        body_ += "{\\plain";
        writeCharFormat(block.charFormat());
        body_ += ' ';
        appendEscaped(body_, list->itemText(block));
        body_ += "\\tab}";
    }
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (!fragment.isValid())
            continue;
        const QTextCharFormat charFormat = fragment.charFormat();
        if (charFormat.isImageFormat()) {
            for (int i = 0; i < fragment.length(); ++i)
                writeImage(charFormat.toImageFormat());
            continue;
        }
        body_ += "{\\plain"; // the paragraph's own character format must not leak in
        writeCharFormat(charFormat);
        body_ += ' ';
        appendEscaped(body_, fragment.text());
        body_ += '}';
    }
    body_ += terminator;
}

void RtfWriter::writeCharFormat(const QTextCharFormat& format) {
    const QFont font = format.font().resolve(document_.defaultFont());
    body_ += "\\f" + QByteArray::number(fontIndex(font.families().value(0, font.family())));
    double points = font.pointSizeF();
    if (points <= 0 && font.pixelSize() > 0)
        points = font.pixelSize() * 0.75;
    if (points <= 0)
        points = 12;
    body_ +=
        "\\fs" + QByteArray::number(std::clamp(static_cast<int>(std::lround(points * 2)), 2, 3276));
    if (font.weight() >= QFont::DemiBold)
        body_ += "\\b";
    if (font.italic())
        body_ += "\\i";
    if (font.underline())
        body_ += "\\ul";
    if (font.strikeOut())
        body_ += "\\strike";
    if (format.hasProperty(QTextFormat::ForegroundBrush) &&
        format.foreground().style() != Qt::NoBrush)
        body_ += "\\cf" + QByteArray::number(colourIndex(format.foreground().color()));
    if (format.hasProperty(QTextFormat::BackgroundBrush) &&
        format.background().style() != Qt::NoBrush) {
        const QByteArray index = QByteArray::number(colourIndex(format.background().color()));
        body_ += "\\highlight" + index + "\\chcbpat" + index;
    }
    switch (format.verticalAlignment()) {
    case QTextCharFormat::AlignSuperScript:
        body_ += "\\super";
        break;
    case QTextCharFormat::AlignSubScript:
        body_ += "\\sub";
        break;
    default:
        break;
    }
}

QImage RtfWriter::imageOf(const QString& name) const {
    const QVariant resource = document_.resource(QTextDocument::ImageResource, QUrl(name));
    if (resource.typeId() == QMetaType::QImage)
        return resource.value<QImage>();
    if (resource.typeId() == QMetaType::QPixmap)
        return resource.value<QPixmap>().toImage();
    if (resource.typeId() == QMetaType::QByteArray)
        return QImage::fromData(resource.toByteArray());
    return QImage();
}

void RtfWriter::writeImage(const QTextImageFormat& format) {
    const QImage image = imageOf(format.name());
    if (image.isNull() || image.width() <= 0 || image.height() <= 0)
        return;
    double width = format.width();
    double height = format.height();
    if (width <= 0 && height <= 0) {
        width = image.width();
        height = image.height();
    } else if (width <= 0) {
        width = height * image.width() / image.height();
    } else if (height <= 0) {
        height = width * image.height() / image.width();
    }
    // A picture shown many times (a placeholder, a repeated logo) is encoded once.
    auto hexLines = pictureData_.constFind(image.cacheKey());
    if (hexLines == pictureData_.constEnd()) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!image.save(&buffer, "PNG"))
            return;
        const QByteArray hex = png.toHex();
        QByteArray lines;
        for (qsizetype i = 0; i < hex.size(); i += kHexLine) {
            lines += hex.mid(i, kHexLine);
            lines += "\r\n";
        }
        hexLines = pictureData_.insert(image.cacheKey(), lines);
    }
    body_ += "{\\pict\\pngblip\\picw" + QByteArray::number(image.width()) + "\\pich" +
             QByteArray::number(image.height()) + "\\picwgoal" + QByteArray::number(twips(width)) +
             "\\pichgoal" + QByteArray::number(twips(height)) + "\r\n";
    body_ += *hexLines;
    body_ += '}';
}

int RtfWriter::fontIndex(const QString& family) {
    const QString name = family.isEmpty() ? QStringLiteral("Arial") : family;
    const auto it = fontIndexes_.constFind(name);
    if (it != fontIndexes_.constEnd())
        return *it;
    fonts_ << name;
    fontIndexes_.insert(name, static_cast<int>(fonts_.size() - 1));
    return static_cast<int>(fonts_.size() - 1);
}

int RtfWriter::colourIndex(const QColor& colour) {
    const QRgb rgb = colour.rgb() & 0xFFFFFF;
    const auto it = colourIndexes_.constFind(rgb);
    if (it != colourIndexes_.constEnd())
        return *it;
    colours_ << QColor::fromRgb(rgb);
    const int index = static_cast<int>(colours_.size());
    colourIndexes_.insert(rgb, index);
    return index;
}

} // namespace

QByteArray writeRtf(const QTextDocument& document) {
    return RtfWriter(document).write();
}

} // namespace korvel
