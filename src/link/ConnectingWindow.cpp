#include "link/ConnectingWindow.h"

#include <QLabel>

namespace sonmetra {

TfrmComTest::TfrmComTest(QWidget* mainWindow)
    : QWidget(mainWindow,
              Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("frmComTest"));
    setWindowTitle(QString::fromLatin1(ConnectingTitle));
    setFixedSize(314, 70);
    auto* text = new QLabel(QString::fromLatin1(ConnectingText), this);
    text->setGeometry(0, 0, 314, 70);
    text->setAlignment(Qt::AlignCenter);
}

void TfrmComTest::showCentred()
{
    if (QWidget* main = parentWidget())
        move(main->geometry().center() - rect().center());
    show();
}

} // namespace sonmetra
