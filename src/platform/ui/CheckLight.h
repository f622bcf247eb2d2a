#pragma once

#include <QAbstractButton>

namespace sonmetra::ui {

// Check box drawn as a light beside its caption: checked is lit. Changes arrive as toggled().
class CheckLight : public QAbstractButton
{
    Q_OBJECT

public:
    explicit CheckLight(QWidget* parent = nullptr);
    explicit CheckLight(const QString& caption, QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace sonmetra::ui
