#pragma once

#include <QPushButton>

// A push button whose caption wraps onto several lines when the button is too narrow for one, as the
// scheduler's buttons need at their designed size.
class WrapButton : public QPushButton {
    Q_OBJECT
public:
    explicit WrapButton(const QString& text, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
