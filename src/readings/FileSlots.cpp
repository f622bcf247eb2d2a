#include "readings/FileSlots.h"

#include "readings/LiveReadings.h"

namespace sonmetra {

TFileSlots FileSlots;

void ClearFileSlots(TFileSlots& files)
{
    for (TFileSlot& slot : files.items)
        slot.Count = 0;
}

int slotForAddress(quint8 address)
{
    const int slot = static_cast<quint8>(address + 1);
    return slot >= 1 && slot <= FileSlotCount ? slot : 1;
}

void storeFileBlock(TFileSlots& files, quint8 address, const quint8* data, int count)
{
    if (count == 0)
        return;
    TFileSlot& slot = files[slotForAddress(address)];
    for (int j = 0; j < count / 2; ++j) {
        const auto raw = static_cast<quint16>(data[2 * j] | data[2 * j + 1] << 8);
        if (slot.Count < FileSlotCapacity)
            ++slot.Count;
        slot.Readings[slot.Count] = readingFromRaw(raw);
    }
}

} // namespace sonmetra
