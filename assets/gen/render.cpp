#include "assets/gen/render.h"

#include "assets/gen/gifwriter.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSvgRenderer>

#include <cmath>

namespace koru::assets {

namespace {

std::optional<QColor> colourOf(const QString &text)
{
    const QColor c = QColor::fromString(text);
    if (!c.isValid())
        return std::nullopt;
    return c;
}

// Opaque picture: background under everything, key colour where transparent.
QImage flatten(const QImage &picture, const RenderOptions &options)
{
    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    QImage out(argb.size(), QImage::Format_RGB32);
    const QRgb bg = options.background.rgb();
    for (int y = 0; y < argb.height(); ++y) {
        const QRgb *in = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        QRgb *line = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            const QRgb c = in[x];
            const int a = qAlpha(c);
            if (options.key && a < 128) {
                line[x] = *options.key | 0xff000000u;
                continue;
            }
            // With a key, edge pixels become fully opaque rather than
            // blending towards a background that is not there.
            const int w = options.key ? 255 : a;
            auto mix = [w](int fg, int back) { return (fg * w + back * (255 - w) + 127) / 255; };
            QRgb value = qRgb(mix(qRed(c), qRed(bg)), mix(qGreen(c), qGreen(bg)), mix(qBlue(c), qBlue(bg)));
            if (options.key && (value | 0xff000000u) == (*options.key | 0xff000000u))
                value ^= 0x000001; // a drawn pixel must not turn transparent by chance
            line[x] = value;
        }
    }
    return out;
}

} // namespace

RenderOptions ParseOptions(const QString &size, const QStringList &words, QString *error)
{
    error->clear();
    RenderOptions options;
    static const QRegularExpression sizePattern(QStringLiteral("^(\\d{1,5})x(\\d{1,5})$"));
    const auto m = sizePattern.match(size);
    if (!m.hasMatch() || m.captured(1).toInt() < 1 || m.captured(2).toInt() < 1) {
        *error = QStringLiteral("size must be WIDTHxHEIGHT, got \"%1\"").arg(size);
        return options;
    }
    options.size = QSize(m.captured(1).toInt(), m.captured(2).toInt());
    for (const QString &word : words) {
        const qsizetype eq = word.indexOf(QLatin1Char('='));
        if (eq <= 0) {
            *error = QStringLiteral("option must be name=value, got \"%1\"").arg(word);
            return options;
        }
        const QString name = word.left(eq);
        const QString value = word.mid(eq + 1);
        if (name == QLatin1String("bg") || name == QLatin1String("key")) {
            const auto colour = colourOf(value);
            if (!colour) {
                *error = QStringLiteral("%1: not a colour: \"%2\"").arg(name, value);
                return options;
            }
            if (name == QLatin1String("bg"))
                options.background = *colour;
            else
                options.key = colour->rgb();
        } else if (name == QLatin1String("quality")) {
            bool ok = false;
            const int q = value.toInt(&ok);
            if (!ok || q < 1 || q > 100) {
                *error = QStringLiteral("quality must be 1 to 100, got \"%1\"").arg(value);
                return options;
            }
            options.quality = q;
        } else {
            options.values.insert(name, value);
        }
    }
    return options;
}

QByteArray SubstituteValues(QByteArray svg, const QMap<QString, QString> &values, QString *error)
{
    error->clear();
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        svg.replace(("{{" + it.key() + "}}").toUtf8(), it.value().toHtmlEscaped().toUtf8());
    static const QRegularExpression left(QStringLiteral("\\{\\{([A-Za-z0-9_]+)\\}\\}"));
    const auto m = left.match(QString::fromUtf8(svg));
    if (m.hasMatch())
        *error = QStringLiteral("no value for {{%1}}").arg(m.captured(1));
    return svg;
}

QImage RenderSource(const QString &sourcePath, const RenderOptions &options, QString *error)
{
    error->clear();
    QImage picture(options.size, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QFile file(sourcePath);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1").arg(sourcePath);
        return {};
    }
    const QByteArray data = file.readAll();
    if (sourcePath.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)) {
        const QByteArray svg = SubstituteValues(data, options.values, error);
        if (!error->isEmpty())
            return {};
        QSvgRenderer renderer(svg);
        if (!renderer.isValid()) {
            *error = QStringLiteral("%1 is not a valid SVG picture").arg(sourcePath);
            return {};
        }
        const QSizeF box = renderer.viewBoxF().size();
        const double want = double(options.size.width()) / options.size.height();
        if (box.height() > 0 && std::abs(box.width() / box.height() - want) > 0.01 * want)
            qWarning("koru-assetgen: %s: viewBox %gx%g is stretched to %dx%d", qPrintable(sourcePath), box.width(),
                     box.height(), options.size.width(), options.size.height());
        QPainter painter(&picture);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
        renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(options.size)));
        return picture;
    }
    QImage raster;
    if (!raster.loadFromData(data)) {
        *error = QStringLiteral("%1 is neither SVG nor a readable picture").arg(sourcePath);
        return {};
    }
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(QPoint(0, 0), options.size), raster);
    return picture;
}

bool WritePicture(const QImage &picture, const QString &outputPath, const RenderOptions &options,
                  QString *error)
{
    error->clear();
    const QString suffix = QFileInfo(outputPath).suffix().toLower();
    QByteArray bytes;
    if (suffix == QLatin1String("gif")) {
        bytes = EncodeGif(flatten(picture, options), options.key);
    } else {
        QImage out;
        const char *format = nullptr;
        int quality = -1;
        if (suffix == QLatin1String("png")) {
            out = options.key ? flatten(picture, options) : picture.convertToFormat(QImage::Format_ARGB32);
            format = "PNG";
        } else if (suffix == QLatin1String("bmp")) {
            out = flatten(picture, options).convertToFormat(QImage::Format_RGB888);
            format = "BMP";
        } else if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg")) {
            out = flatten(picture, options);
            format = "JPG";
            quality = options.quality;
        } else {
            *error = QStringLiteral("unknown picture format: %1").arg(outputPath);
            return false;
        }
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (!out.save(&buffer, format, quality))
            bytes.clear();
    }
    if (bytes.isEmpty()) {
        *error = QStringLiteral("cannot encode %1").arg(outputPath);
        return false;
    }
    QDir().mkpath(QFileInfo(outputPath).absolutePath());
    QSaveFile file(outputPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        *error = QStringLiteral("cannot write %1").arg(outputPath);
        return false;
    }
    return true;
}

} // namespace koru::assets
