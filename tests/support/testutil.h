// Small helpers shared by the tests.
#pragma once

#include <QString>
#include <QStringList>

namespace koru::test {

// Folder of checked-in test files (tests/data).
QString testDataPath(const QString &relative);

// Points the asset root at the build's assets (next to the executables) and
// the application-data folder at a fresh temporary folder for this process.
void useTemporaryAppData();

} // namespace koru::test
