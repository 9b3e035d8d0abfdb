// What the report window tests share: the pictures an editor leaves in the
// work folder, the pupil's inputs typed into the window, and what the view
// shows of a page's pictures.
#pragma once

#include "model/reportrequest.h"
#include "report/reportpage.h"
#include "report/ui/reportview.h"
#include "report/ui/reportwindow.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>

namespace koru::test {

// A picture an editor would have written for the report: a background of
// the given colour (its corners stay so) with a few blocks or a staff drawn on it.
inline bool writeReportPicture(const QString &name, const QSize &size, QColor colour = QColor(40, 120, 200))
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QPainter painter(&image);
    painter.setPen(QPen(Qt::black, 2));
    if (name == SoundPictureName) {
        for (int line = 0; line < 5; ++line)
            painter.drawLine(20, 50 + line * 12, size.width() - 20, 50 + line * 12);
        painter.setBrush(Qt::black);
        for (int note = 0; note < (size.width() - 80) / 50; ++note)
            painter.drawEllipse(QPoint(70 + note * 50, 98 - (note % 7) * 6), 7, 5);
    } else {
        const QStringList blocks{QStringLiteral("スタート"), QStringLiteral("LED 赤"), QStringLiteral("タイマー 3秒"),
                                 QStringLiteral("エンド")};
        const int x = size.width() / 2 - 50;
        for (int b = 0; b < blocks.size() && 20 + b * 75 + 50 < size.height(); ++b) {
            const QRect box(x, 20 + b * 75, 100, 50);
            if (b > 0)
                painter.drawLine(box.center().x(), box.top() - 25, box.center().x(), box.top());
            painter.setBrush(QColor(b == 0 || b == blocks.size() - 1 ? 0xf0b429 : 0x2d8fe0));
            painter.drawRoundedRect(box, 10, 10);
            painter.drawText(box, Qt::AlignCenter, blocks.at(b));
        }
    }
    painter.end();
    return image.save(QDir(ReportPictureFolder()).filePath(name), "BMP");
}

// Leaves the pictures and lines an editor of the kind hands over, and
// returns its request.
inline ReportRequest editorRequest(int kind)
{
    QDir pictures(ReportPictureFolder());
    pictures.mkpath(QStringLiteral("."));
    for (const QString &name : pictures.entryList(QDir::Files))
        pictures.remove(name);
    ReportRequest request;
    request.kind = kind;
    request.over = QRect(100, 80, 800, 600);
    if (kind == RoutineReportKind) {
        writeReportPicture(RoutinePictureName(0), QSize(260, 320), QColor(255, 255, 255));
        writeReportPicture(RoutinePictureName(2), QSize(240, 180), QColor(255, 255, 255));
    } else if (kind == WordReportKind) {
        request.lines = QStringList{QStringLiteral("もし 音 なら"), QStringLiteral("　LED 赤 1"),
                                    QStringLiteral("もしおわり")};
    } else if (kind == IconReportKind) {
        request.lines = QStringList{QStringLiteral("0,フルカラーLED赤点灯1秒"), QStringLiteral("15,タイマー3秒"),
                                    QStringLiteral("16,確認音 2")};
    } else if (kind == SoundReportKind) {
        writeReportPicture(SoundPictureName, QSize(700, 160), QColor(255, 250, 240));
    }
    return request;
}

inline void typeInputs(report::ReportWindow &window, const QString &name = QStringLiteral("テスト"))
{
    auto edit = [&](const char *objectName) { return window.findChild<QLineEdit *>(QLatin1String(objectName)); };
    auto memo = [&](const char *objectName) { return window.findChild<QPlainTextEdit *>(QLatin1String(objectName)); };
    edit("Edit1")->setText(QStringLiteral("3"));
    edit("Edit2")->setText(QStringLiteral("2"));
    edit("Edit4")->setText(QStringLiteral("15"));
    edit("Edit3")->setText(name);
    memo("Memo2")->setPlainText(QStringLiteral("光るめざまし"));
    memo("Memo3")->setPlainText(QStringLiteral("朝、音で起こしてくれる時計にしたい。"));
    memo("Memo4")->setPlainText(QStringLiteral("音がしたらLEDが赤く光る。\n3秒たつと消える。"));
    memo("Memo5")->setPlainText(QStringLiteral("繰り返しを使って短くした。"));
    memo("Memo6")->setPlainText(QStringLiteral("思った通りに動いてうれしかった。"));
}

// The pictures of the page the view shows, each with the image the view
// loaded for it (null when the picture could not be found).
struct ShownPicture
{
    QString source;
    QImage image;
};
inline QList<ShownPicture> shownPictures(const report::ReportView &view)
{
    QList<ShownPicture> pictures;
    QTextDocument *document = view.document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (!format.isImageFormat())
                continue;
            const QString source = format.toImageFormat().name();
            const QVariant loaded = document->resource(QTextDocument::ImageResource, QUrl(source));
            QImage image = loaded.value<QImage>();
            if (image.isNull())
                image = loaded.value<QPixmap>().toImage();
            pictures.append({source, image});
        }
    }
    return pictures;
}

} // namespace koru::test
