#pragma once

#include <QWidget>

namespace sonmetra::ui {

// A 10 x 10 traffic light of the status bar: red while lit, green while dark. The owner gives it
// its accessible name ("RX", "TX"); screen readers read the state as "lit" or "dark".
class StatusLight : public QWidget
{
    Q_OBJECT

public:
    explicit StatusLight(QWidget* parent = nullptr);

    void setLit(bool lit);
    bool isLit() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool lit = false;
};

} // namespace sonmetra::ui
