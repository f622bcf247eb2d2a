#include "storage/DataModule.h"

namespace sonmetra {

Tdm::Tdm(QObject* parent) : QObject(parent)
{
    setObjectName(QStringLiteral("dm"));
}

} // namespace sonmetra
