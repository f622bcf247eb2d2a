#pragma once

#include <QDialog>
#include <QtGlobal>

#include <array>

class QComboBox;
class QLabel;
class QPushButton;

namespace sonmetra {

// The port number behind each line of the picker's list, from the top.
extern std::array<quint16, 16> PortNumbers;

// "Comm Port": lists the serial ports that can be opened now; OK chooses one.
class TfrmComset : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmComset(QWidget* parent = nullptr);

    QLabel* label = nullptr;
    QComboBox* cbComsel = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

    void FormShow();
    void btnOKClick();
    void btnCancelClick();

protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace sonmetra
