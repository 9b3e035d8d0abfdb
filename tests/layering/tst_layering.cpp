// Core folders never include Qt's GUI, so that the logic runs and is tested
// without a display and the tool stays a console program. The rule is
// checked here rather than in review: every source file outside the window
// folders is read and its includes are compared with the headers of the Qt
// modules that need QtGui. Which modules those are is read from the Qt
// installation itself (each module's "<Module>Depends" header names the
// modules it is built on), so a header Qt adds, or a module built on QtGui
// (QtSvg, QtMultimedia, QtCharts ...), is caught without a list to keep.

#include "testmain.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Folders where widgets and painting belong (paths relative to the source
// tree, '/'-separated), besides any folder named "ui".
const QStringList WindowFolders = {
    QStringLiteral("app"), QStringLiteral("widgets"), QStringLiteral("kit/app"),
    QStringLiteral("tests"), QStringLiteral("bench"),
    // The build-time painter of the program's pictures: drawing is its job.
    QStringLiteral("assets/gen"),
};

bool IsCoreFile(const QString &relative)
{
    const QStringList parts = relative.split(u'/');
    if (parts.mid(0, parts.size() - 1).contains(QStringLiteral("ui")))
        return false;
    for (const QString &folder : WindowFolders) {
        if (relative.startsWith(folder + u'/'))
            return false;
    }
    return true;
}

class GuiHeaders
{
public:
    explicit GuiHeaders(const QString &qtHeaders)
    {
        const QDir base(qtHeaders);
        QHash<QString, QStringList> dependsOn;
        static const QRegularExpression includeOf(QStringLiteral("#\\s*include\\s*<(\\w+)/"));
        const QStringList modules = base.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        for (const QString &module : modules) {
            QFile depends(base.filePath(module + u'/' + module + QStringLiteral("Depends")));
            if (!depends.open(QIODevice::ReadOnly))
                continue;
            const QString text = QString::fromUtf8(depends.readAll());
            for (auto it = includeOf.globalMatch(text); it.hasNext();)
                dependsOn[module].append(it.next().captured(1));
        }
        QSet<QString> others;
        for (const QString &module : modules) {
            const QStringList headers = QDir(base.filePath(module)).entryList(QDir::Files);
            if (needsGui(module, dependsOn)) {
                m_modules.insert(module);
                for (const QString &h : headers)
                    m_names.insert(h);
            } else {
                for (const QString &h : headers)
                    others.insert(h);
            }
        }
        // A name that a module without GUI also ships is not a GUI include.
        m_names.subtract(others);
    }

    // "QImage", "qpainter.h", "QtWidgets/QWidget", "QtSvg/qsvgrenderer.h" ...
    bool contains(const QString &include) const
    {
        const qsizetype slash = include.indexOf(u'/');
        return slash < 0 ? m_names.contains(include) : m_modules.contains(include.left(slash));
    }
    QSet<QString> modules() const { return m_modules; }

private:
    static bool needsGui(const QString &module, const QHash<QString, QStringList> &dependsOn,
                         QSet<QString> seen = {})
    {
        if (module == QLatin1String("QtGui"))
            return true;
        if (seen.contains(module))
            return false;
        seen.insert(module);
        for (const QString &d : dependsOn.value(module)) {
            if (needsGui(d, dependsOn, seen))
                return true;
        }
        return false;
    }

    QSet<QString> m_modules;
    QSet<QString> m_names;
};

bool IsSource(const QString &name)
{
    static const QStringList suffixes = {".h", ".hpp", ".cpp", ".cc", ".cxx", ".c"};
    for (const QString &s : suffixes) {
        if (name.endsWith(s))
            return true;
    }
    return false;
}

// "model/x.h:12: <QImage>" for every GUI include in a core file under root.
// Build trees (a CMakeCache.txt, or the given one) and hidden folders are
// not sources.
QStringList GuiIncludesInCore(const QString &root, const GuiHeaders &gui, const QString &buildDir = {})
{
    static const QRegularExpression include(QStringLiteral("^\\s*#\\s*include\\s*[<\"]([^>\"]+)[>\"]"));
    QStringList found;
    QStringList folders{root};
    while (!folders.isEmpty()) {
        const QDir dir(folders.takeLast());
        if (QFileInfo::exists(dir.filePath(QStringLiteral("CMakeCache.txt")))
            || (!buildDir.isEmpty() && QFileInfo(dir.path()) == QFileInfo(buildDir)))
            continue;
        for (const QFileInfo &entry : dir.entryInfoList(QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot, QDir::Name)) {
            if (entry.isDir()) {
                folders.append(entry.filePath());
                continue;
            }
            const QString relative = QDir(root).relativeFilePath(entry.filePath());
            if (!IsSource(entry.fileName()) || !IsCoreFile(relative))
                continue;
            QFile file(entry.filePath());
            if (!file.open(QIODevice::ReadOnly)) {
                found.append(relative + QStringLiteral(": unreadable"));
                continue;
            }
            int line = 0;
            while (!file.atEnd()) {
                ++line;
                const QRegularExpressionMatch m = include.match(QString::fromUtf8(file.readLine()));
                if (m.hasMatch() && gui.contains(m.captured(1)))
                    found.append(QStringLiteral("%1:%2: <%3>").arg(relative).arg(line).arg(m.captured(1)));
            }
        }
    }
    return found;
}

const GuiHeaders &Gui()
{
    static const GuiHeaders gui(QStringLiteral(KORU_QT_HEADERS));
    return gui;
}

} // namespace

class TstLayering : public QObject
{
    Q_OBJECT
private slots:
    // A Qt that could not be read would let every include through.
    void guiHeadersAreReadFromQt()
    {
        QVERIFY2(QDir(QStringLiteral(KORU_QT_HEADERS)).exists(QStringLiteral("QtGui")),
                 "no QtGui folder under " KORU_QT_HEADERS);
        for (const char *gui : {"QImage", "QPainter", "QColor", "QPixmap", "QFont", "QUndoStack", "QWidget",
                                "qimage.h", "QtGui/QImage", "QtWidgets/qwidget.h"})
            QVERIFY2(Gui().contains(QLatin1String(gui)), gui);
        for (const char *core : {"QString", "QObject", "QTimer", "QRect", "QtCore/QString", "QTcpSocket",
                                 "QTest", "QSignalSpy"})
            QVERIFY2(!Gui().contains(QLatin1String(core)), core);
    }

    void coreFoldersIncludeNoGui()
    {
        const QStringList found =
            GuiIncludesInCore(QStringLiteral(KORU_SOURCE_DIR), Gui(), QStringLiteral(KORU_BUILD_DIR));
        QVERIFY2(found.isEmpty(), qPrintable(QStringLiteral("GUI headers in core folders:\n") + found.join(u'\n')));
    }

    // The same scan over a planted file: each kind of include is seen, and
    // the window folders may include what they like.
    void plantedInclude_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("refused");
        QTest::newRow("class header") << "model/planted.h" << "#include <QImage>" << true;
        QTest::newRow("module path") << "link/planted.cpp" << "#include <QtWidgets/QWidget>" << true;
        QTest::newRow("lower-case file") << "kit/planted.cpp" << "  #  include <qpainter.h>" << true;
        QTest::newRow("quoted") << "tools/planted.cpp" << "#include \"QPixmap\"" << true;
        QTest::newRow("module on QtGui") << "melody/planted.cpp" << "#include <QSvgRenderer>" << true;
        QTest::newRow("deep core folder") << "flowchart/sub/planted.h" << "#include <QUndoStack>" << true;
        QTest::newRow("core header") << "model/planted.cpp" << "#include <QString>" << false;
        QTest::newRow("core module path") << "model/planted.cpp" << "#include <QtCore/QTimer>" << false;
        QTest::newRow("commented out") << "model/planted.cpp" << "// #include <QWidget>" << false;
        QTest::newRow("ui folder") << "melody/ui/planted.cpp" << "#include <QWidget>" << false;
        QTest::newRow("widgets") << "widgets/planted.cpp" << "#include <QWidget>" << false;
        QTest::newRow("kit app") << "kit/app/planted.cpp" << "#include <QWidget>" << false;
        QTest::newRow("tests") << "tests/model/planted.cpp" << "#include <QWidget>" << false;
        QTest::newRow("not a source") << "model/planted.md" << "#include <QWidget>" << false;
    }
    void plantedInclude()
    {
        QFETCH(QString, path);
        QFETCH(QString, line);
        QFETCH(bool, refused);
        QTemporaryDir tree;
        QVERIFY(QDir(tree.path()).mkpath(QFileInfo(path).path()));
        QFile file(tree.filePath(path));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("#pragma once\n\n" + line.toUtf8() + "\n");
        file.close();
        const QStringList found = GuiIncludesInCore(tree.path(), Gui());
        QCOMPARE(found.size(), refused ? 1 : 0);
        if (refused)
            QVERIFY2(found.first().startsWith(path + QStringLiteral(":3: <")), qPrintable(found.first()));
    }

    // A build tree inside the sources (moc output includes widgets) is not
    // scanned.
    void buildTreesAreSkipped()
    {
        QTemporaryDir tree;
        QVERIFY(QDir(tree.path()).mkpath(QStringLiteral("build/main/model")));
        QFile cache(tree.filePath(QStringLiteral("build/main/CMakeCache.txt")));
        QVERIFY(cache.open(QIODevice::WriteOnly));
        cache.close();
        QFile moc(tree.filePath(QStringLiteral("build/main/model/moc.cpp")));
        QVERIFY(moc.open(QIODevice::WriteOnly));
        moc.write("#include <QWidget>\n");
        moc.close();
        QCOMPARE(GuiIncludesInCore(tree.path(), Gui()), QStringList());
    }
};

KORU_TEST_GUILESS_MAIN(TstLayering)
#include "tst_layering.moc"
