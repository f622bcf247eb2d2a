// The readings view of the main window: chart, the column of displays, the statistics row, paging
// and the CLEAR command.

#include "app/MainWindow.h"

#include "readings/DataSet.h"
#include "readings/LimitState.h"
#include "ui/BarChart.h"
#include "ui/MessageService.h"
#include "ui/NumericFigure.h"
#include "ui/SevenSegment.h"
#include "ui/SwitchLight.h"

#include <QLabel>

namespace sonmetra {

namespace {

const QColor BarInBounds(0x00, 0x80, 0x00);
const QColor BarOutOfBounds(0xFF, 0x00, 0x00);
const QColor SegmentInBounds(0x00, 0xFF, 0x00);
const QColor SegmentOutOfBounds(0xFF, 0x00, 0x00);

constexpr double InitialAxisMinimum = 0.5;
constexpr double InitialAxisMaximum = 10.5;
constexpr int PageSize = 10;

} // namespace

void TfrmMain::clearChart()
{
    Chart1->clearBars();
    Chart1->setAxisMinimum(InitialAxisMinimum);
    Chart1->setAxisMaximum(InitialAxisMaximum);
}

void TfrmMain::clearFigures()
{
    lblMax->clear();
    lblMin->clear();
    for (ui::NumericFigure* figure : {ledAverage, ledSDEV, ledMax, ledMin, ledCounter})
        figure->setValue(0);
}

void TfrmMain::ClearView()
{
    clearChart();
    for (ui::SevenSegment* display : SegDisplays)
        display->setValue(0);
    clearFigures();
}

void TfrmMain::RedrawAll()
{
    if (DataRec.Count == 0)
        return;
    clearChart();
    for (int k = 1; k <= DataRec.Count; ++k) {
        Chart1->addBar(k, DataRec.Readings[k]);
        ColorBar(static_cast<quint16>(k));
    }
    DataRec.PageEnd = DataRec.Count > PageSize ? PageSize : DataRec.Count;
    ShowPage(DataRec.PageEnd);
    showStatistics();
}

void TfrmMain::AppendReading()
{
    const quint16 n = DataRec.Count;
    const double b = n + 0.5;
    // At the cap the newest reading replaced reading n: its bar shows it, one bar per reading,
    // and the window and the page come to the newest ten.
    const bool replaced = Chart1->barCount() >= n;
    if (replaced) {
        Chart1->setBarValue(n - 1, DataRec.Readings[n]);
        DataRec.PageEnd = n;
    } else {
        Chart1->addBar(n, DataRec.Readings[n]);
    }
    ColorBar(n);
    if (replaced || Chart1->axisMaximum() < b) {
        Chart1->setAxisMaximum(b);
        Chart1->setAxisMinimum(b - PageSize);
    } else if (n > PageSize) {
        Chart1->shiftAxis(1);
    }
    ShowPage(n);
    showStatistics();
}

void TfrmMain::showStatistics()
{
    const Statistics s = CalcStatistics();
    ledAverage->setValue(s.average);
    ledSDEV->setValue(s.standardDeviation);
    ledMax->setValue(s.maximum);
    ledMin->setValue(s.minimum);
    ledCounter->setValue(DataRec.Count);
}

void TfrmMain::ShowPage(quint16 pageEnd)
{
    for (int i = 1; i <= PageSize; ++i) {
        ui::SevenSegment* display = SegDisplays[static_cast<std::size_t>(i - 1)];
        const int k = pageEnd + i - PageSize;
        if (k <= 0) {
            display->setValue(0);
            continue;
        }
        const float v = DataRec.Readings[k];
        display->setValue(v, OutOfBounds(v) ? SegmentOutOfBounds : SegmentInBounds);
    }
    lblMax->setText(QString::number(pageEnd));
    if (pageEnd >= PageSize)
        lblMin->setText(QString::number(pageEnd - (PageSize - 1)));
    else
        lblMin->clear();
}

void TfrmMain::ColorBar(quint16 k)
{
    Chart1->setBarColor(k - 1, OutOfBounds(DataRec.Readings[k]) ? BarOutOfBounds : BarInBounds);
}

void TfrmMain::PageBack()
{
    if (DataRec.PageEnd <= PageSize)
        return;
    Chart1->shiftAxis(-1);
    --DataRec.PageEnd;
    ShowPage(DataRec.PageEnd);
}

void TfrmMain::PageForward()
{
    if (DataRec.PageEnd >= DataRec.Count)
        return;
    Chart1->shiftAxis(1);
    ++DataRec.PageEnd;
    ShowPage(DataRec.PageEnd);
}

void TfrmMain::btnClearClick()
{
    btnClear->setLit(true);
    const ui::MessageAnswer answer = ui::showMessage(
        QStringLiteral(
            "You will delete the measure data currently displayed! \r\n\r\nAre you sure?"),
        QStringLiteral("Data Delete"), ui::MessageIcon::Question, ui::MessageButtons::YesNo);
    if (answer == ui::MessageAnswer::Yes) {
        ClearDataSet();
        ClearView();
    }
    btnClear->setLit(false);
}

} // namespace sonmetra
