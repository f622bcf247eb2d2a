#pragma once

#include <QAbstractButton>

namespace sonmetra::ui {

// Latching command button: a bevelled face with an indicator light and the caption inside.
// Lit means checked; every press flips the light through the button's own toggling. The caption
// is text(), the hint is toolTip(), which is also given to screen readers as the description.
class SwitchLight : public QAbstractButton
{
    Q_OBJECT

public:
    explicit SwitchLight(QWidget* parent = nullptr);
    explicit SwitchLight(const QString& caption, QWidget* parent = nullptr);

    void setLit(bool lit);
    bool isLit() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // The second press of a fast pair. The first press has already clicked; this one flips the
    // light again and reports itself here instead of clicking a second time.
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;
};

} // namespace sonmetra::ui
