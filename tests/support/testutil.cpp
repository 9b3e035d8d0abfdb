#include "testutil.h"

#include "model/paths.h"

#include <QDir>
#include <QTemporaryDir>

namespace koru::test {

QString testDataPath(const QString &relative)
{
    return QDir(qEnvironmentVariable("KORU_TEST_DATA")).filePath(relative);
}

void useTemporaryAppData()
{
    static QTemporaryDir dir;
    SetAppDataFolder(dir.path());
}

} // namespace koru::test
