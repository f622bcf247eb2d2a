#pragma once

#include <QObject>
#include <QSocketNotifier>

namespace sonmetra::sim {

// Ends the event loop on SIGINT or SIGTERM instead of letting the signal kill the process, so the
// code after exec() runs and the simulator's destructor removes its port link. The handler only
// writes a byte to a socket pair; the quitting happens in the event loop.
class QuitOnSignals : public QObject
{
    Q_OBJECT

public:
    explicit QuitOnSignals(QObject* parent = nullptr);
    ~QuitOnSignals() override;

private:
    QSocketNotifier* notifier = nullptr;
};

} // namespace sonmetra::sim
