// koru-assetgen SOURCE OUTPUT WIDTHxHEIGHT [name=value ...]
// Draws one picture of the program at build time (see assets/README.md).
#include "assets/gen/render.h"

#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <cstdio>

namespace {

// The build log shows only what concerns the picture.
void quietHandler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (message.startsWith(QLatin1String("QStandardPaths:")))
        return;
    if (type != QtDebugMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int main(int argc, char *argv[])
{
    qInstallMessageHandler(quietHandler);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen"); // a build machine has no display
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: koru-assetgen SOURCE OUTPUT WIDTHxHEIGHT [name=value ...]\n");
        return 2;
    }
    // Pictures name the program's font; draw them with the same stand-in.
    QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"));
    if (!QFontDatabase::hasFamily(QStringLiteral("IPAPGothic")))
        std::fprintf(stderr, "koru-assetgen: warning: font IPAPGothic missing (fonts-ipafont-gothic); "
                             "captions fall back to another font\n");

    QString error;
    const koru::assets::RenderOptions options = koru::assets::ParseOptions(args[2], args.mid(3), &error);
    if (error.isEmpty()) {
        const QImage picture = koru::assets::RenderSource(args[0], options, &error);
        if (error.isEmpty())
            koru::assets::WritePicture(picture, args[1], options, &error);
    }
    if (!error.isEmpty()) {
        std::fprintf(stderr, "koru-assetgen: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
