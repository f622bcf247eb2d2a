#include "link/PortPicker.h"

#include "app/ErrorHandler.h"
#include "link/CommRec.h"
#include "link/LinkTexts.h"
#include "serial/ComNames.h"
#include "serial/PortTest.h"
#include "ui/MessageService.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

namespace sonmetra {

std::array<quint16, 16> PortNumbers{};

TfrmComset::TfrmComset(QWidget* parent)
    : QDialog(parent,
              Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("frmComset"));
    setWindowTitle(QStringLiteral("Comm Port"));
    setFixedSize(234, 106);

    label = new QLabel(QStringLiteral("Please Select Port:"), this);
    label->setGeometry(16, 14, 200, 18);
    cbComsel = new QComboBox(this);
    cbComsel->setObjectName(QStringLiteral("cbComsel"));
    cbComsel->setEditable(false);
    cbComsel->setGeometry(16, 36, 202, 24);
    label->setBuddy(cbComsel);

    const auto button = [this](const char* name, const char* caption, int left) {
        auto* b = new QPushButton(QString::fromLatin1(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(left, 70, 75, 25);
        return b;
    };
    btnOK = button("btnOK", "OK", 30);
    btnCancel = button("btnCancel", "Cancel", 129);
    btnOK->setDefault(true);

    connect(btnOK, &QPushButton::clicked, this, guarded([this] { btnOKClick(); }));
    connect(btnCancel, &QPushButton::clicked, this, guarded([this] { btnCancelClick(); }));
}

void TfrmComset::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        runGuarded([this] { FormShow(); });
}

void TfrmComset::FormShow()
{
    cbComsel->clear();
    std::size_t line = 0;
    for (int n = serial::FirstComNumber; n <= serial::LastComNumber; ++n) {
        if (!serial::canOpenPort(n))
            continue;
        cbComsel->addItem(QStringLiteral("COM%1").arg(n));
        PortNumbers[line++] = static_cast<quint16>(n);
    }
    cbComsel->setCurrentIndex(cbComsel->count() > 0 ? 0 : -1);
}

void TfrmComset::btnOKClick()
{
    if (cbComsel->count() == 0) {
        ui::showMessage(QString::fromLatin1(linktext::NoFreePort),
                        QString::fromLatin1(linktext::CommErrorTitle), ui::MessageIcon::Error);
        reject();
        return;
    }
    CommRec.ComNumber = PortNumbers[static_cast<std::size_t>(cbComsel->currentIndex())];
    accept();
}

void TfrmComset::btnCancelClick()
{
    reject();
}

} // namespace sonmetra
