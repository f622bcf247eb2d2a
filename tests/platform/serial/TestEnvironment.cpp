#include "TestEnvironment.h"

#include <QDir>
#include <QFile>

namespace sonmetra::serial::test {

TestEnvironment::TestEnvironment()
{
    const QString data = root.path() + QStringLiteral("/data");
    valid = root.isValid() && QDir().mkpath(data) && QDir().mkpath(workFolder()) &&
            qputenv("XDG_DATA_HOME", QFile::encodeName(data)) && QDir::setCurrent(workFolder());
}

} // namespace sonmetra::serial::test
