#include "readings/LimitDialog.h"

#include "app/ErrorHandler.h"
#include "readings/LimitState.h"
#include "ui/CheckLight.h"
#include "ui/MessageService.h"
#include "ui/NumericEdit.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace sonmetra {

TfrmLimit::TfrmLimit(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("frmLimit"));
    setWindowTitle(QStringLiteral("Set Overbound Prompt"));
    setFixedSize(252, 157);

    chkLimit = new ui::CheckLight(this);
    chkLimit->setObjectName(QStringLiteral("chkLimit"));
    chkLimit->setText(QStringLiteral("Set Prompt"));
    chkLimit->setGeometry(81, 10, 100, 22);

    const auto field = [this](const char* name, const char* caption, int top, QLabel*& label) {
        label = new QLabel(QString::fromLatin1(caption), this);
        label->move(18, top + 4);
        label->adjustSize();
        auto* edit = new ui::NumericEdit(2, QStringLiteral(" mm"), this);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setAccessibleName(label->text().chopped(1));
        edit->setGeometry(95, top, 88, edit->sizeHint().height());
        label->setBuddy(edit);
        return edit;
    };
    edtHi = field("edtHi", "Upper Limit:", 45, Label1);
    edtLo = field("edtLo", "Lower Limit:", 75, Label2);

    const auto button = [this](const char* name, const char* caption, int left) {
        auto* b = new QPushButton(QString::fromLatin1(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(left, 120, 60, 25);
        b->setAutoDefault(false);
        return b;
    };
    btnOK = button("btnOK", "OK", 39);
    btnCancel = button("btnCancel", "Cancel", 157);

    setTabOrder(chkLimit, edtHi);
    setTabOrder(edtHi, edtLo);
    setTabOrder(edtLo, btnOK);
    setTabOrder(btnOK, btnCancel);

    connect(chkLimit, &QAbstractButton::toggled, this, guarded([this] { chkLimitChange(); }));
    connect(btnOK, &QPushButton::clicked, this, guarded([this] { btnOKClick(); }));
    connect(btnCancel, &QPushButton::clicked, this, guarded([this] { btnCancelClick(); }));

    FormCreate();
}

void TfrmLimit::FormCreate()
{
    chkLimit->setChecked(LimitOn == 1);
    chkLimitChange();
    edtHi->setValue(UpperLimit);
    edtLo->setValue(LowerLimit);
}

void TfrmLimit::chkLimitChange()
{
    edtHi->setEnabled(chkLimit->isChecked());
    edtLo->setEnabled(chkLimit->isChecked());
}

void TfrmLimit::btnOKClick()
{
    const bool on = chkLimit->isChecked();
    const double upper = edtHi->value();
    const double lower = edtLo->value();
    if (on && !(upper >= lower)) {
        ui::showMessage(QString::fromLatin1(LimitOrderRefusal), QStringLiteral("ERROR"),
                        ui::MessageIcon::Error);
        return;
    }
    LimitOn = on ? 1 : 0;
    UpperLimit = static_cast<float>(upper);
    LowerLimit = static_cast<float>(lower);
    accept();
}

void TfrmLimit::btnCancelClick()
{
    reject();
}

void TfrmLimit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return ||
        event->key() == Qt::Key_Enter) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace sonmetra
