#pragma once
#include <QAbstractButton>
#include <QPixmap>

namespace tessary {

// A button of the Target view that shows a picture for its normal and focused state and another
// while pressed, and says when the pointer moves over it (the view shows a tip then).
class TargetPictureButton : public QAbstractButton {
    Q_OBJECT
public:
    TargetPictureButton(const QPixmap& normal, const QPixmap& pressed, const QRect& rect, QWidget* parent);

signals:
    void pointerOver();
    void pointerLeft();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QPixmap normal_;
    QPixmap pressed_;
};

// The "Load Target" button of the empty Target view: 170 x 57 at (30, 100); a click asks for
// the target to be generated.
class bitmap_target_button : public TargetPictureButton {
    Q_OBJECT
public:
    explicit bitmap_target_button(QWidget* parent);
};

} // namespace tessary
