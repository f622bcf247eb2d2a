#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace sonmetra {

namespace ui {
class CheckLight;
class NumericEdit;
} // namespace ui

inline constexpr char LimitOrderRefusal[] =
    "The Upper limit can/t be smaller than the lower one. Please input again.";

// "Set Overbound Prompt": switches the over-bound prompt and sets its two limits.
class TfrmLimit : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmLimit(QWidget* parent = nullptr);

    ui::CheckLight* chkLimit = nullptr;
    QLabel* Label1 = nullptr;
    ui::NumericEdit* edtHi = nullptr;
    QLabel* Label2 = nullptr;
    ui::NumericEdit* edtLo = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

    void FormCreate();
    void chkLimitChange();
    void btnOKClick();
    void btnCancelClick();

protected:
    // Enter and Escape are not bound to OK and Cancel.
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace sonmetra
