#pragma once

#include <QAbstractButton>

namespace sonmetra::ui {

// Paging arrow: a triangle pointing up or down. Its light is the owner's to set (typically lit
// while the mouse button is held on it); a click is an ordinary clicked(). No auto-repeat.
class Arrow : public QAbstractButton
{
    Q_OBJECT

public:
    enum class Direction
    {
        Up,
        Down
    };

    explicit Arrow(Direction direction, QWidget* parent = nullptr);

    Direction direction() const;

    void setLit(bool lit);
    bool isLit() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Direction pointing;
    bool lit = false;
};

} // namespace sonmetra::ui
