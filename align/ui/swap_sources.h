#pragma once
#include <QWidget>
#include <cstdint>

namespace tessary {

// The swap control of the Collage dialog: a triangular grid whose white cells above the
// diagonal stand for the pairs of loaded sources. It shows the pair under the cursor through
// `hovered` and asks for the swap when a cell is pressed.
class swap_sources : public QWidget {
    Q_OBJECT
public:
    swap_sources(int32_t sourceCount, QWidget* parent);

signals:
    // "2 & 5" over a pair, "" elsewhere.
    void hovered(const QString& pair);
    void swapRequested(int first, int second);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    int32_t sourceCount_;
};

} // namespace tessary
