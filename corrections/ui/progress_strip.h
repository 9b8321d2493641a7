#pragma once
#include "image/colour.h"

#include <QWidget>
#include <cstdint>

namespace tessary {

// The progress strip of a correction dialog: light grey at rest, green from its left edge while a
// correction runs. It repaints at once, since the correction holds the event loop.
class ProgressStrip : public QWidget {
    Q_OBJECT
public:
    explicit ProgressStrip(QWidget* parent = nullptr);

    // Green up to the share of stored row `row` out of `height`.
    void showRow(int32_t row, int32_t height);
    // The whole strip light grey again.
    void finish();
    int32_t filled() const { return filled_; }
    ColourRef colour() const { return colour_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int32_t filled_ = 0;
    ColourRef colour_;
};

} // namespace tessary
