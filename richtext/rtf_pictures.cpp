#include "richtext/rtf_parser.h"

#include <QBuffer>
#include <QImageReader>
#include <QTextDocument>
#include <QUrl>
#include <QVariant>
#include <QtEndian>

namespace korvel::rtf {

namespace {

constexpr int kMaxImageSide = 10000;
constexpr int kMaxPlaceholderSide = 1024;
// The pixels of all pictures of one text together, decoded ones and
// placeholders alike: a dozen screen-sized photos, while a hostile text of
// a thousand huge pictures stays within a few tens of megabytes.
constexpr qint64 kMaxImageBytes = 64 * 1024 * 1024;
// Past the budget every picture shows this one small image, drawn to size.
constexpr int kSmallPlaceholderSide = 16;
constexpr const char* kImageCountProperty = "korvelRtfImageCount";
constexpr QByteArrayView kPngSignature("\x89PNG\r\n\x1a\n");

// Keeps only the chunks that make up the picture. Text, profile and private
// chunks are where lying lengths and decompression bombs hide, and a
// question picture needs none of them.
QByteArray essentialPng(const QByteArray& data) {
    if (!data.startsWith(kPngSignature))
        return data;
    QByteArray out = kPngSignature.toByteArray();
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

// "png" or "jpeg" by the data's first bytes (whatever the blip keyword
// says; writers mislabel), otherwise null.
const char* signatureFormat(const QByteArray& data) {
    if (data.startsWith(kPngSignature))
        return "png";
    if (data.startsWith("\xff\xd8\xff"))
        return "jpeg";
    return nullptr;
}

QImage placeholderImage(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(0xEE, 0xEE, 0xEE));
    const QRgb frame = qRgb(0x99, 0x99, 0x99);
    for (int x = 0; x < width; ++x) {
        image.setPixel(x, 0, frame);
        image.setPixel(x, height - 1, frame);
    }
    for (int y = 0; y < height; ++y) {
        image.setPixel(0, y, frame);
        image.setPixel(width - 1, y, frame);
    }
    return image;
}

qint64 pixelBytes(int width, int height) {
    return qint64(std::max(0, width)) * std::max(0, height) * 4;
}

} // namespace

bool RtfParser::pictureWord(RtfKeyword keyword, const RtfToken& token) {
    GroupState& s = state();
    const int param = token.param;
    using K = RtfKeyword;
    switch (keyword) {
    case K::Pict:
        if (s.dest == Dest::Text) {
            s.dest = Dest::Pict;
            s.ownsPicture = true;
            picture_ = Picture();
        } else if (s.dest != Dest::Pict) {
            s.dest = Dest::Skip;
        }
        return true;
    case K::PngBlip:
        picture_.kind = PictKind::Png;
        return true;
    case K::JpegBlip:
        picture_.kind = PictKind::Jpeg;
        return true;
    case K::WMetafile:
    case K::EmfBlip:
    case K::MacPict:
    case K::DiBitmap:
    case K::WBitmap:
        picture_.kind = PictKind::Metafile;
        return true;
    case K::Picw:
        picture_.picw = clampInt(param, 0, 1 << 24);
        return true;
    case K::Pich:
        picture_.pich = clampInt(param, 0, 1 << 24);
        return true;
    case K::PicwGoal:
        picture_.goalw = clampInt(param, 0, 1 << 24);
        return true;
    case K::PichGoal:
        picture_.goalh = clampInt(param, 0, 1 << 24);
        return true;
    case K::PicScaleX:
        picture_.scalex = clampInt(param, 1, 10000);
        return true;
    case K::PicScaleY:
        picture_.scaley = clampInt(param, 1, 10000);
        return true;
    default:
        return false;
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

// Null when the picture is a metafile, does not decode, or would not fit
// in what is left of the budget; the header tells the size before decoding.
QImage RtfParser::decodePicture(Picture& picture) {
    if (picture.kind == PictKind::Metafile || picture.data.isEmpty())
        return QImage();
    // RTF carries PNG and JPEG; the other decoders Qt may have (SVG, TIFF,
    // MNG, ...) are never handed a question text's bytes.
    const char* format = signatureFormat(picture.data);
    if (!format)
        return QImage();
    picture.data = essentialPng(picture.data);
    QBuffer buffer(&picture.data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false);
    const QSize size = reader.size();
    if (!size.isValid())
        return QImage();
    const qint64 left = kMaxImageBytes - imageBytes_;
    const qint64 estimate = pixelBytes(size.width(), size.height());
    if (estimate <= left) {
        // A decode that fails costs its estimate too, so a run of damaged
        // huge pictures is cut short. Some formats decode to more than four
        // bytes a pixel (16-bit PNG); the limit stops those before decoding.
        imageBytes_ += estimate;
        reader.setAllocationLimit(int(left / (1024 * 1024)) + 1);
        const QImage image = reader.read();
        if (image.sizeInBytes() <= left) {
            imageBytes_ += std::max<qint64>(0, image.sizeInBytes() - estimate);
            return image; // null when the data is damaged
        }
    }
    // Refused for the budget: its placeholder takes the place the picture would have taken.
    if (picture.picw <= 0 || picture.pich <= 0) {
        picture.picw = size.width();
        picture.pich = size.height();
    }
    return QImage();
}

QString RtfParser::pictureResource(const QImage& image) {
    QTextDocument* document = cursor_.document();
    const int number = document->property(kImageCountProperty).toInt() + 1;
    document->setProperty(kImageCountProperty, number);
    const QString name = QStringLiteral("rtfimage:%1").arg(number);
    document->addResource(QTextDocument::ImageResource, QUrl(name), QVariant(image));
    return name;
}

// Placeholders of one size share one image; a new size costs its pixels,
// and once the budget is spent the small shared one stands in.
QString RtfParser::placeholderResource(int width, int height) {
    const int w = std::clamp(width, 1, kMaxPlaceholderSide);
    const int h = std::clamp(height, 1, kMaxPlaceholderSide);
    if (const auto known = placeholders_.find({w, h}); known != placeholders_.end())
        return known->second;
    if (pixelBytes(w, h) <= kMaxImageBytes - imageBytes_) {
        imageBytes_ += pixelBytes(w, h);
        const QString name = pictureResource(placeholderImage(w, h));
        placeholders_.emplace(std::pair{w, h}, name);
        return name;
    }
    if (smallPlaceholder_.isEmpty()) {
        smallPlaceholder_ =
            pictureResource(placeholderImage(kSmallPlaceholderSide, kSmallPlaceholderSide));
    }
    return smallPlaceholder_;
}

void RtfParser::finishPicture() {
    Picture picture = std::move(picture_);
    picture_ = Picture();
    if (state().chars.hidden)
        return;
    const QImage image = decodePicture(picture);

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
    const QString name = image.isNull() ? placeholderResource(qRound(width), qRound(height))
                                        : pictureResource(image);

    prepareContent(false);
    flushText();
    QTextImageFormat format;
    format.setName(name);
    format.setWidth(width);
    format.setHeight(height);
    cursor_.insertImage(format);
}

} // namespace korvel::rtf
