#include "report/reportpage.h"

#include "model/messages.h"
#include "model/paths.h"
#include "model/programfile.h"
#include "model/reportrequest.h"
#include "model/textutil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QUrl>
#include <QtEndian>

#include <utility>
#include <vector>

namespace koru::report {

namespace {

// The keys the pupil's inputs fill, in the order a line is tested for them.
enum class Field { Name, Impressions, Idea, Title, Workings, Ingenuity };
const std::pair<QLatin1String, Field> InputKeys[] = {
    {QLatin1String("Name"), Field::Name},
    {QLatin1String("Kanso"), Field::Impressions},
    {QLatin1String("Koso"), Field::Idea},
    {QLatin1String("Taitoru"), Field::Title},
    {QLatin1String("Siyou"), Field::Workings},
    {QLatin1String("Kuhu"), Field::Ingenuity},
};

const QLatin1String RoutineKey("ROUTINE");
// Routine pictures side by side: the width a row of them may take on the
// page (an A4 page's printable width at screen size, less the box around),
// and the room around each.
constexpr int RoutineRowWidth = 640;
constexpr int RoutineCellPadding = 4;
const QLatin1String PictureKey("Picture");
const QLatin1String WordKey("WORD");
const QLatin1String IconKey("ICON");
const QLatin1String ContentKey("Content");

// Pictures larger than this are not believed to be bitmaps an editor wrote.
constexpr int MaxPictureSide = 32767;

using Replacements = std::vector<std::pair<QLatin1String, QString>>;

// Replaces every occurrence of each key in one pass from left to right, so
// that replacement text (a pupil's words, a picture's path) is never searched
// for keys again.
QString replaceKeys(const QString &line, const Replacements &replacements)
{
    QString result;
    qsizetype i = 0;
    while (i < line.size()) {
        bool replaced = false;
        for (const auto &[key, text] : replacements) {
            if (QStringView(line).mid(i).startsWith(key)) {
                result += text;
                i += key.size();
                replaced = true;
                break;
            }
        }
        if (!replaced)
            result += line.at(i++);
    }
    return result;
}

// The lines of a multi-line text box; a final line break ends the last line
// rather than starting an empty one, and an empty box has no lines.
QStringList boxLines(const QString &text)
{
    QString plain = text;
    plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    plain.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = plain.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QString joinedLines(const QStringList &lines, QLatin1String after)
{
    QString result;
    for (const QString &line : lines)
        result += EscapeHtml(line) + after;
    return result;
}

QString fieldText(const ReportInputs &inputs, Field field)
{
    const QLatin1String br("<BR>");
    switch (field) {
    case Field::Name:
        return EscapeHtml(inputs.grade) + QStringLiteral("年　") + EscapeHtml(inputs.className)
            + QStringLiteral("組　") + EscapeHtml(inputs.number) + QStringLiteral("番　　名前：　")
            + EscapeHtml(inputs.name);
    case Field::Impressions:
        return joinedLines(boxLines(inputs.impressions), br);
    case Field::Idea:
        return joinedLines(boxLines(inputs.idea), br);
    case Field::Title:
        return joinedLines(boxLines(inputs.title), br);
    case Field::Workings:
        return joinedLines(boxLines(inputs.workings), br);
    case Field::Ingenuity:
        return joinedLines(boxLines(inputs.ingenuity), br);
    }
    return {};
}

// A relative URL path for a picture below the page ("Img/Routine0.bmp").
QString pictureSource(const QString &fileName)
{
    return QStringLiteral("Img/") + fileName;
}

QString fileUrl(const QString &path)
{
    return QUrl::fromLocalFile(QDir::cleanPath(path)).toString(QUrl::FullyEncoded);
}

struct Composer
{
    const ReportInputs &inputs;
    int kind;
    const QStringList &content;
    const ReportSources &sources;
    QString error;

    // The image tag of a picture of the work folder, or an empty text with
    // the error set when the picture cannot be read.
    QString pictureTag(const QString &fileName, QSize *shownSize = nullptr)
    {
        const std::optional<QSize> size = BitmapSize(QDir(sources.pictureFolder).filePath(fileName));
        if (!size) {
            error = PictureUnreadableMessage(fileName);
            return {};
        }
        const QSize shown = ShownSize(kind, *size);
        if (shownSize)
            *shownSize = shown;
        return ImageTag(pictureSource(fileName), shown);
    }

    // Each routine's heading and picture share one table cell; cells stand
    // side by side while their pictures fit the page's width, then a new
    // row begins.
    QString routines(const QString &line)
    {
        struct Cell
        {
            QString html;
            int width;
        };
        QList<Cell> cells;
        for (int n = 0; n < RoutineCount && error.isEmpty(); ++n) {
            const QString fileName = RoutinePictureName(n);
            if (!QFileInfo::exists(QDir(sources.pictureFolder).filePath(fileName)) || !line.contains(PictureKey))
                continue;
            const QString label = n == 0 ? QStringLiteral("メインルーチン") : QStringLiteral("サブルーチン%1").arg(n);
            QSize shown;
            const QString tag = pictureTag(fileName, &shown);
            cells.append({replaceKeys(line, {{RoutineKey, label}, {PictureKey, tag}}), shown.width() + 2 * RoutineCellPadding});
        }
        if (cells.isEmpty() || !error.isEmpty())
            return {};
        // A table per row: rows of one table would share their columns,
        // and a wide picture under a narrow one would widen both. A
        // browser keeps a row on one page when printing; the report
        // window's own print path does the same for tables of one row.
        const QString tableStart = QStringLiteral("<table class=\"routines\" style=\"page-break-inside: avoid\" "
                                                  "cellspacing=\"0\" cellpadding=\"%1\"><tr>")
                                       .arg(RoutineCellPadding);
        QString result = tableStart;
        int rowWidth = 0;
        for (const Cell &cell : cells) {
            if (rowWidth > 0 && rowWidth + cell.width > RoutineRowWidth) {
                result += QStringLiteral("</tr></table>") + tableStart;
                rowWidth = 0;
            }
            result += QStringLiteral("<td valign=\"top\">") + cell.html + QStringLiteral("</td>");
            rowWidth += cell.width;
        }
        return result + QStringLiteral("</tr></table>");
    }

    QString icons(const QString &line) const
    {
        QString result;
        for (const QString &entry : content) {
            const qsizetype comma = entry.indexOf(QLatin1Char(','));
            const QString name = comma < 0 ? entry : entry.left(comma);
            const QString description = comma < 0 ? QString() : entry.mid(comma + 1);
            const QString source = fileUrl(QDir(sources.iconFolder).filePath(name + QStringLiteral(".bmp")));
            result += replaceKeys(line, {{IconKey, ImageTag(source, QSize(32, 25))},
                                         {ContentKey, EscapeHtml(description)}});
        }
        return result;
    }

    // The output of one template line; nullopt when the line is left out.
    std::optional<QString> line(const QString &line)
    {
        for (const auto &[key, field] : InputKeys) {
            if (!line.contains(key))
                continue;
            const QString result = replaceKeys(line, {{key, fieldText(inputs, field)}});
            // A key line left empty (an empty text box) is dropped: the key
            // itself never reaches the page.
            if (result.isEmpty())
                return std::nullopt;
            return result;
        }
        if (kind == RoutineReportKind && line.contains(RoutineKey))
            return routines(line);
        if (kind == WordReportKind && line.contains(WordKey))
            return replaceKeys(line, {{WordKey, joinedLines(content, QLatin1String("<BR><BR>"))}});
        if (kind == IconReportKind && line.contains(IconKey))
            return icons(line);
        if (kind == SoundReportKind && line.contains(PictureKey))
            return replaceKeys(line, {{PictureKey, pictureTag(SoundPictureName)}});
        return line;
    }
};

bool fitsShiftJis(const QString &text)
{
    QStringEncoder encoder("Shift_JIS", QStringEncoder::Flag::Stateless);
    const QByteArray bytes = encoder.encode(text); // the conversion runs here
    Q_UNUSED(bytes);
    return !encoder.hasError();
}

QString sjisSafeCodePoint(char32_t codePoint)
{
    if (QChar::isSurrogate(codePoint) || codePoint > QChar::LastValidCodePoint)
        codePoint = QChar::ReplacementCharacter; // half of a pair on its own
    const QString text = QString::fromUcs4(&codePoint, 1);
    if (fitsShiftJis(text))
        return text;
    return QStringLiteral("&#x%1;").arg(QString::number(quint32(codePoint), 16).toUpper());
}

} // namespace

bool ReportInputs::complete() const
{
    return !grade.isEmpty() && !className.isEmpty() && !number.isEmpty() && !name.isEmpty();
}

ComposedPage ComposePage(const QStringList &templateLines, const ReportInputs &inputs, int kind,
                         const QStringList &content, const ReportSources &sources)
{
    Composer composer{inputs, kind, content, sources, {}};
    ComposedPage page;
    for (const QString &line : templateLines) {
        const std::optional<QString> out = composer.line(line);
        if (!composer.error.isEmpty())
            return {{}, composer.error};
        if (out)
            page.lines.append(*out);
    }
    return page;
}

QString TemplateName(int kind)
{
    switch (kind) {
    case RoutineReportKind:
        return QStringLiteral("Data\\Report\\Report_Routine.html");
    case WordReportKind:
        return QStringLiteral("Data\\Report\\Report_Word.html");
    case IconReportKind:
        return QStringLiteral("Data\\Report\\Report_DD.html");
    case SoundReportKind:
        return QStringLiteral("Data\\Report\\Report_Sound.html");
    }
    return {};
}

std::optional<QStringList> ReadTemplate(const QString &path)
{
    const std::optional<QByteArray> read = ReadRegularFile(path);
    if (!read || read->contains('\0'))
        return std::nullopt;
    const QByteArray &bytes = *read;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return DecodeProgramText(bytes);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

PrintPageResult WritePrintPage(const ReportInputs &inputs, int kind, const QStringList &content)
{
    const QString name = TemplateName(kind);
    const std::optional<QStringList> templateLines = name.isEmpty() ? std::nullopt : ReadTemplate(AssetPath(name));
    if (!templateLines)
        return {{}, TemplateMissingMessage(name)};
    const ComposedPage page = ComposePage(*templateLines, inputs, kind, content, DefaultSources());
    if (!page.ok())
        return {{}, page.error};
    QStringList lines;
    lines.reserve(page.lines.size());
    for (const QString &line : page.lines)
        lines.append(ShiftJisSafe(line));
    const std::optional<QByteArray> bytes = EncodeProgramText(lines);
    if (!bytes)
        return {{}, SaveFailed};
    if (bytes->size() > MaxReportPageBytes)
        return {{}, PageTooLargeMessage};
    const QString path = PrintPagePath();
    if (!WriteFileAtomically(path, *bytes))
        return {{}, SaveFailed};
    return {path, {}};
}

std::optional<QStringList> ReadReportPage(const QString &path)
{
    const std::optional<QByteArray> bytes = ReadRegularFile(path, MaxReportPageBytes);
    if (!bytes)
        return std::nullopt;
    return DecodeProgramText(*bytes);
}

QString PrintPagePath()
{
    return QDir(WorkFolder()).filePath(QStringLiteral("Report/print.html"));
}

ReportSources DefaultSources()
{
    return {ReportPictureFolder(), AssetPath(QStringLiteral("Img\\Icon\\DD"))};
}

QString EscapeHtml(const QString &text)
{
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&':
            result += QLatin1String("&amp;");
            break;
        case '<':
            result += QLatin1String("&lt;");
            break;
        case '>':
            result += QLatin1String("&gt;");
            break;
        case '"':
            result += QLatin1String("&quot;");
            break;
        default:
            // Control characters other than the tab have no place in a page.
            if (c.unicode() >= 0x20 || c == QLatin1Char('\t'))
                result += c;
        }
    }
    return result;
}

std::optional<QSize> BitmapSize(const QString &path)
{
    QFile file;
    if (!OpenRegularFile(file, path))
        return std::nullopt;
    const QByteArray head = file.read(26);
    if (head.size() < 26 || !head.startsWith("BM"))
        return std::nullopt;
    const auto *bytes = reinterpret_cast<const uchar *>(head.constData());
    const quint32 infoSize = qFromLittleEndian<quint32>(bytes + 14);
    qint64 width = 0;
    qint64 height = 0;
    if (infoSize == 12) { // the old core header: 16-bit sides
        width = qFromLittleEndian<quint16>(bytes + 18);
        height = qFromLittleEndian<quint16>(bytes + 20);
    } else if (infoSize >= 40) {
        width = qFromLittleEndian<qint32>(bytes + 18);
        height = qFromLittleEndian<qint32>(bytes + 22);
        if (height < 0)
            height = -height; // stored top-down
    } else {
        return std::nullopt;
    }
    if (width <= 0 || height <= 0 || width > MaxPictureSide || height > MaxPictureSide)
        return std::nullopt;
    return QSize(int(width), int(height));
}

QSize ShownSize(int kind, const QSize &picture)
{
    const bool melody = kind == SoundReportKind;
    const int maxWidth = melody ? 600 : 500;
    const int maxHeight = melody ? 800 : 700;
    const double w = picture.width();
    const double h = picture.height();
    if (w > h) {
        if (w > maxWidth)
            return {maxWidth, RoundHalfEven(h / w * maxWidth)};
    } else if (h > maxHeight) {
        return {RoundHalfEven(w / h * maxHeight), maxHeight};
    }
    return picture;
}

QString ImageTag(const QString &source, const QSize &size)
{
    return QStringLiteral("<img src=\"%1\" width=\"%2\" height=\"%3\">")
        .arg(EscapeHtml(source))
        .arg(size.width())
        .arg(size.height());
}

QString ShiftJisSafe(const QString &line)
{
    if (line.isEmpty() || fitsShiftJis(line))
        return line;
    // Each distinct character is tried once: an encoder is costly to make.
    QHash<char32_t, QString> written;
    QString result;
    for (const char32_t codePoint : line.toUcs4()) {
        auto it = written.find(codePoint);
        if (it == written.end())
            it = written.insert(codePoint, sjisSafeCodePoint(codePoint));
        result += *it;
    }
    return result;
}

QString TemplateMissingMessage(const QString &templateName)
{
    return QStringLiteral("レポートのひな形ファイルを読み込めません。\r\n%1\r\n再度インストールして下さい。").arg(templateName);
}

QString PictureUnreadableMessage(const QString &pictureName)
{
    return QStringLiteral("レポートの図を読み込めません。\r\n%1\r\nもう一度レポート作成からやり直して下さい。").arg(pictureName);
}

} // namespace koru::report
