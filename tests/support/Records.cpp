#include "support/Records.h"

#include "link/CommRec.h"
#include "link/PortPicker.h"
#include "readings/DataSet.h"
#include "readings/FileSlots.h"
#include "readings/LimitState.h"

namespace sonmetra::test {

void resetRecords()
{
    DataRec = TDataRec{};
    CommRec = TCommRec{};
    FileSlots = TFileSlots{};
    PortNumbers = {};
    LimitOn = 0;
    UpperLimit = 0;
    LowerLimit = 0;
}

void setReadings(std::initializer_list<float> values)
{
    int k = 0;
    for (float v : values)
        DataRec.Readings[++k] = v;
    DataRec.Count = static_cast<quint16>(k);
}

void setReadings(int count, float value)
{
    for (int k = 1; k <= count; ++k)
        DataRec.Readings[k] = value;
    DataRec.Count = static_cast<quint16>(count);
}

void setAscendingReadings(int count)
{
    for (int k = 1; k <= count; ++k)
        DataRec.Readings[k] = static_cast<float>(k);
    DataRec.Count = static_cast<quint16>(count);
}

} // namespace sonmetra::test
