#pragma once

#include <QObject>

namespace sonmetra {

// The data module: the holder of the database connection, created at program start.
class Tdm : public QObject
{
    Q_OBJECT

public:
    explicit Tdm(QObject* parent = nullptr);
};

} // namespace sonmetra
