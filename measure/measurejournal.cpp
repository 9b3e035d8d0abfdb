#include "measure/measurejournal.h"

#include "model/paths.h"
#include "model/programfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace koru::measure {

QString MeasureJournal::DefaultFolder()
{
    return WorkFolder() + QStringLiteral("Measure");
}

void MeasureJournal::begin(const QString &folder, const QDateTime &start)
{
    m_lines = 0;
    const QString stem = QDir(folder).filePath(start.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss")));
    m_path = stem + QStringLiteral(".csv");
    for (int n = 2; QFileInfo::exists(m_path); ++n)
        m_path = stem + QStringLiteral("-%1.csv").arg(n);
}

bool MeasureJournal::append(const QString &line)
{
    if (m_path.isEmpty())
        return false;
    const std::optional<QByteArray> bytes = EncodeProgramText({line});
    if (!bytes)
        return false;
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QFile file(m_path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    const bool ok = file.write(*bytes) == bytes->size() && file.flush();
    file.close();
    if (ok)
        ++m_lines;
    return ok && file.error() == QFileDevice::NoError;
}

} // namespace koru::measure
