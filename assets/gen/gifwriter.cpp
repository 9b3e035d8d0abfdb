#include "assets/gen/gifwriter.h"

#include <QHash>
#include <algorithm>
#include <vector>

namespace koru::assets {

namespace {

struct Bucket
{
    std::vector<std::pair<QRgb, int>> colours; // colour and its pixel count

    int spread(int shift) const
    {
        int lo = 255, hi = 0;
        for (const auto &c : colours) {
            const int v = (c.first >> shift) & 0xff;
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
        return hi - lo;
    }

    QRgb mean() const
    {
        qint64 r = 0, g = 0, b = 0, n = 0;
        for (const auto &c : colours) {
            r += qint64(qRed(c.first)) * c.second;
            g += qint64(qGreen(c.first)) * c.second;
            b += qint64(qBlue(c.first)) * c.second;
            n += c.second;
        }
        if (n == 0)
            return qRgb(0, 0, 0);
        return qRgb(int((r + n / 2) / n), int((g + n / 2) / n), int((b + n / 2) / n));
    }
};

// Median cut over the colour histogram: split the bucket with the widest
// channel at its weighted median until there are enough buckets.
std::vector<QRgb> medianCut(const QHash<QRgb, int> &histogram, int maxColours)
{
    std::vector<Bucket> buckets(1);
    for (auto it = histogram.cbegin(); it != histogram.cend(); ++it)
        buckets[0].colours.emplace_back(it.key(), it.value());
    while (int(buckets.size()) < maxColours) {
        int best = -1, bestSpread = 0, bestShift = 0;
        for (int i = 0; i < int(buckets.size()); ++i) {
            if (buckets[i].colours.size() < 2)
                continue;
            for (int shift : {16, 8, 0}) {
                const int s = buckets[i].spread(shift);
                if (s > bestSpread) {
                    best = i;
                    bestSpread = s;
                    bestShift = shift;
                }
            }
        }
        if (best < 0)
            break;
        auto &colours = buckets[best].colours;
        std::sort(colours.begin(), colours.end(), [bestShift](const auto &a, const auto &b) {
            return ((a.first >> bestShift) & 0xff) < ((b.first >> bestShift) & 0xff);
        });
        qint64 total = 0;
        for (const auto &c : colours)
            total += c.second;
        qint64 seen = 0;
        size_t cut = 1;
        for (; cut < colours.size() - 1; ++cut) {
            seen += colours[cut - 1].second;
            if (seen * 2 >= total)
                break;
        }
        Bucket upper;
        upper.colours.assign(colours.begin() + qsizetype(cut), colours.end());
        colours.erase(colours.begin() + qsizetype(cut), colours.end());
        buckets.push_back(std::move(upper));
    }
    std::vector<QRgb> palette;
    for (const auto &b : buckets)
        palette.push_back(b.mean());
    return palette;
}

int nearest(const std::vector<QRgb> &palette, QRgb c)
{
    int best = 0;
    int bestDistance = INT_MAX;
    for (int i = 0; i < int(palette.size()); ++i) {
        const int dr = qRed(palette[i]) - qRed(c);
        const int dg = qGreen(palette[i]) - qGreen(c);
        const int db = qBlue(palette[i]) - qBlue(c);
        const int d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

// Variable-length code output, least significant bit first, in sub-blocks
// of at most 255 bytes.
class CodeWriter
{
public:
    void put(int code, int width)
    {
        bits_ |= quint32(code) << count_;
        count_ += width;
        while (count_ >= 8) {
            bytes_.append(char(bits_ & 0xff));
            bits_ >>= 8;
            count_ -= 8;
        }
    }
    QByteArray finish()
    {
        if (count_ > 0)
            bytes_.append(char(bits_ & 0xff));
        QByteArray blocks;
        for (qsizetype at = 0; at < bytes_.size(); at += 255) {
            const qsizetype n = std::min<qsizetype>(255, bytes_.size() - at);
            blocks.append(char(n));
            blocks.append(bytes_.mid(at, n));
        }
        blocks.append('\0');
        return blocks;
    }

private:
    QByteArray bytes_;
    quint32 bits_ = 0;
    int count_ = 0;
};

QByteArray lzw(const QImage &indexed, int minCodeSize)
{
    const int clearCode = 1 << minCodeSize;
    const int endCode = clearCode + 1;
    CodeWriter out;
    QHash<quint32, int> table; // (prefix code << 8 | byte) -> code
    int width = minCodeSize + 1;
    int next = endCode + 1;
    out.put(clearCode, width);
    int prefix = -1;
    for (int y = 0; y < indexed.height(); ++y) {
        const uchar *line = indexed.constScanLine(y);
        for (int x = 0; x < indexed.width(); ++x) {
            const int k = line[x];
            if (prefix < 0) {
                prefix = k;
                continue;
            }
            const quint32 key = (quint32(prefix) << 8) | quint32(k);
            const auto found = table.constFind(key);
            if (found != table.cend()) {
                prefix = found.value();
                continue;
            }
            out.put(prefix, width);
            if (next < 4096) {
                table.insert(key, next);
                if (next == (1 << width) && width < 12)
                    ++width;
                ++next;
            } else {
                out.put(clearCode, width);
                table.clear();
                width = minCodeSize + 1;
                next = endCode + 1;
            }
            prefix = k;
        }
    }
    if (prefix >= 0)
        out.put(prefix, width);
    out.put(endCode, width);
    return out.finish();
}

void putWord(QByteArray &out, int value)
{
    out.append(char(value & 0xff));
    out.append(char((value >> 8) & 0xff));
}

} // namespace

QImage QuantiseImage(const QImage &image, int maxColours)
{
    maxColours = std::clamp(maxColours, 1, 256);
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    QHash<QRgb, int> histogram;
    for (int y = 0; y < rgb.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            ++histogram[line[x] | 0xff000000u];
    }
    std::vector<QRgb> palette;
    if (histogram.size() <= maxColours) {
        for (auto it = histogram.cbegin(); it != histogram.cend(); ++it)
            palette.push_back(it.key());
        std::sort(palette.begin(), palette.end());
    } else {
        palette = medianCut(histogram, maxColours);
    }
    QImage indexed(rgb.size(), QImage::Format_Indexed8);
    QList<QRgb> table(palette.begin(), palette.end());
    indexed.setColorTable(table);
    QHash<QRgb, int> cache;
    for (int y = 0; y < rgb.height(); ++y) {
        const QRgb *in = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        uchar *out = indexed.scanLine(y);
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb c = in[x] | 0xff000000u;
            auto it = cache.constFind(c);
            if (it == cache.cend())
                it = cache.insert(c, nearest(palette, c));
            out[x] = uchar(it.value());
        }
    }
    return indexed;
}

QByteArray EncodeGif(const QImage &image, std::optional<QRgb> transparentKey)
{
    if (image.isNull() || image.width() > 65535 || image.height() > 65535)
        return {};
    QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    int keyIndex = -1;
    QImage indexed;
    if (transparentKey) {
        // The key colour keeps a palette entry of its own, whatever the
        // quantiser does with its neighbours.
        const QRgb key = *transparentKey | 0xff000000u;
        QImage rest = rgb;
        QRgb filler = 0;
        bool haveFiller = false;
        for (int y = 0; y < rgb.height() && !haveFiller; ++y) {
            const QRgb *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
            for (int x = 0; x < rgb.width(); ++x) {
                if ((line[x] | 0xff000000u) != key) {
                    filler = line[x];
                    haveFiller = true;
                    break;
                }
            }
        }
        for (int y = 0; y < rest.height(); ++y) {
            QRgb *line = reinterpret_cast<QRgb *>(rest.scanLine(y));
            for (int x = 0; x < rest.width(); ++x)
                if ((line[x] | 0xff000000u) == key)
                    line[x] = haveFiller ? filler : key;
        }
        indexed = QuantiseImage(rest, 255);
        QList<QRgb> table = indexed.colorTable();
        keyIndex = int(table.size());
        table.append(key);
        indexed.setColorTable(table);
        for (int y = 0; y < rgb.height(); ++y) {
            const QRgb *in = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
            uchar *out = indexed.scanLine(y);
            for (int x = 0; x < rgb.width(); ++x)
                if ((in[x] | 0xff000000u) == key)
                    out[x] = uchar(keyIndex);
        }
    } else {
        indexed = QuantiseImage(rgb, 256);
    }

    const QList<QRgb> table = indexed.colorTable();
    int bits = 1;
    while ((1 << bits) < table.size())
        ++bits;
    const int tableSize = 1 << bits;

    QByteArray out("GIF89a");
    putWord(out, image.width());
    putWord(out, image.height());
    out.append(char(0x80 | ((bits - 1) << 4) | (bits - 1))); // global table, its size
    out.append('\0'); // background colour index
    out.append('\0'); // square pixels
    for (int i = 0; i < tableSize; ++i) {
        const QRgb c = i < table.size() ? table[i] : qRgb(0, 0, 0);
        out.append(char(qRed(c)));
        out.append(char(qGreen(c)));
        out.append(char(qBlue(c)));
    }
    if (keyIndex >= 0) {
        out.append("\x21\xf9\x04", 3);
        out.append(char(0x01)); // transparent colour present
        putWord(out, 0);        // no delay
        out.append(char(keyIndex));
        out.append('\0');
    }
    out.append(char(0x2c));
    putWord(out, 0);
    putWord(out, 0);
    putWord(out, image.width());
    putWord(out, image.height());
    out.append('\0'); // no local table, not interlaced
    const int minCodeSize = std::max(2, bits);
    out.append(char(minCodeSize));
    out.append(lzw(indexed, minCodeSize));
    out.append(char(0x3b));
    return out;
}

} // namespace koru::assets
