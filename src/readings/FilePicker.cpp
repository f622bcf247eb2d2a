#include "readings/FilePicker.h"

#include "app/ErrorHandler.h"
#include "readings/DataSet.h"
#include "readings/FileSlots.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

namespace sonmetra {

TfrmFiles::TfrmFiles(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("frmFiles"));
    setWindowTitle(QStringLiteral("Display Data Files"));
    setFixedSize(260, 110);

    label = new QLabel(QStringLiteral("Select File\uFF1A"), this);
    label->setGeometry(16, 14, 228, 18);
    cbFiles = new QComboBox(this);
    cbFiles->setObjectName(QStringLiteral("cbFiles"));
    cbFiles->setEditable(false);
    cbFiles->setGeometry(16, 36, 228, 24);
    label->setBuddy(cbFiles);

    // The counts as they are now: a download running while the picker is open shows next time.
    cbFiles->addItem(QStringLiteral("Please Select Files"));
    for (int k = 1; k <= FileSlotCount; ++k)
        cbFiles->addItem(QStringLiteral("File%1 - %2").arg(k - 1).arg(FileSlots[k].Count));
    cbFiles->setCurrentIndex(0);

    const auto button = [this](const char* name, const char* caption, int left) {
        auto* b = new QPushButton(QString::fromLatin1(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(left, 74, 75, 25);
        return b;
    };
    btnOK = button("btnOK", "Ok", 40);
    btnCancel = button("btnCancel", "Cancel", 145);
    btnOK->setDefault(true);

    connect(btnOK, &QPushButton::clicked, this, guarded([this] { btnOKClick(); }));
    connect(btnCancel, &QPushButton::clicked, this, guarded([this] { btnCancelClick(); }));
}

void TfrmFiles::btnOKClick()
{
    const int i = cbFiles->currentIndex();
    if (i < 1 || i > FileSlotCount || FileSlots[i].Count == 0) {
        cbFiles->setCurrentIndex(0);
        return;
    }
    const TFileSlot& slot = FileSlots[i];
    for (int k = 1; k <= slot.Count; ++k)
        DataRec.Readings[k] = slot.Readings[k];
    DataRec.Count = slot.Count;
    accept();
}

void TfrmFiles::btnCancelClick()
{
    reject();
}

} // namespace sonmetra
