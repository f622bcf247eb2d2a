#pragma once

#include <QString>
#include <QTemporaryDir>

namespace sonmetra::serial::test {

// Made before the QCoreApplication: points the port folder (through XDG_DATA_HOME) at a fresh
// temporary folder and makes another one the working folder, where the traffic log lands.
// Child processes inherit both.
class TestEnvironment
{
public:
    TestEnvironment();

    bool isValid() const { return valid; }
    QString workFolder() const { return root.path() + QStringLiteral("/work"); }

private:
    QTemporaryDir root;
    bool valid = false;
};

} // namespace sonmetra::serial::test
