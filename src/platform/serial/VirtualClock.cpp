#include "serial/Clock.h"

namespace sonmetra::serial {

int VirtualClock::callAfter(qint64 delayMs, std::function<void()> fn)
{
    const int id = ++lastId;
    const qint64 due = now + qMax<qint64>(0, delayMs);
    pending.emplace(Key{due, id}, std::move(fn));
    dueById.emplace(id, due);
    return id;
}

void VirtualClock::cancel(int id)
{
    const auto found = dueById.find(id);
    if (found == dueById.end())
        return;
    pending.erase(Key{found->second, id});
    dueById.erase(found);
}

void VirtualClock::advance(qint64 ms)
{
    const qint64 target = now + qMax<qint64>(0, ms);
    while (!pending.empty() && pending.begin()->first.first <= target) {
        const auto first = pending.begin();
        now = first->first.first;
        dueById.erase(first->first.second);
        const std::function<void()> fn = std::move(first->second);
        pending.erase(first);
        fn();
    }
    now = target;
}

} // namespace sonmetra::serial
