#pragma once

#include "readings/DataSet.h"

#include <array>

namespace sonmetra {

inline constexpr int FileSlotCapacity = 100;
inline constexpr int FileSlotCount = 6;

// One file downloaded from the instrument.
struct TFileSlot
{
    quint8 Count = 0;
    OneBasedReadings<FileSlotCapacity> Readings;
};

// Slot k (1..6) holds the instrument's file k - 1.
struct TFileSlots
{
    std::array<TFileSlot, FileSlotCount> items{};

    TFileSlot& operator[](int k) { return items[static_cast<std::size_t>(k - 1)]; }
    const TFileSlot& operator[](int k) const { return items[static_cast<std::size_t>(k - 1)]; }
};

extern TFileSlots FileSlots;

void ClearFileSlots(TFileSlots& files = FileSlots);

// The slot a block with this address goes to: address + 1 in 8 bits, slot 1 when outside 1..6.
int slotForAddress(quint8 address);

// Appends the block's readings (pairs of bytes, low byte first; an odd last byte is ignored) to
// the slot for address. A full slot keeps its 100th reading replaced by the newest.
void storeFileBlock(TFileSlots& files, quint8 address, const quint8* data, int count);

} // namespace sonmetra
