#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

namespace sonmetra {

// One running viewer per executable file name. The first start holds a lock named after its own
// executable (file name only, upper case) and listens for later starts; a later start asks it to
// come forward and then ends. Copies under other file names do not see each other.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    explicit SingleInstance(const QString& key, QObject* parent = nullptr);

    // The key for this process: its executable's file name in upper case.
    static QString keyForThisProcess();

    // True when no other instance with this key runs; this one then holds the lock.
    bool isFirst() const { return m_first; }

    // In a later instance: ask the first one to come forward. Returns whether it acknowledged.
    bool activateFirst(int timeoutMs = 2000) const;

    // In the first instance: called on the GUI thread whenever a later start asks for it.
    void setActivationHandler(std::function<void()> handler);

private:
    void serve();

    QString m_key;
    QLockFile m_lock;
    bool m_first = false;
    std::unique_ptr<QLocalServer> m_server;
    std::function<void()> m_onActivate;
};

} // namespace sonmetra
