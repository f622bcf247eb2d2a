#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

namespace sonmetra {

// "Display Data Files": picks one downloaded file; OK makes it the current data set.
class TfrmFiles : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmFiles(QWidget* parent = nullptr);

    QLabel* label = nullptr;
    QComboBox* cbFiles = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

    void btnOKClick();
    void btnCancelClick();
};

} // namespace sonmetra
