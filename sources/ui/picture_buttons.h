#pragma once
#include <QAbstractButton>
#include <QPixmap>
#include <QPointer>
#include <cstdint>

namespace tessary {

class flying_tips;

// The family of small picture buttons that appear next to a selected box: each shows its own
// picture in every state, and while the pointer is over it a flying tip with its text (and, for
// the source-window buttons, the hand cursor). The source windows use the five buttons from
// crop_prompt on; the target window uses prompt and print_prompt for its zone.
class picture_button : public QAbstractButton {
    Q_OBJECT
public:
    ~picture_button() override;

    const QString& tipText() const { return tipText_; }
    bool usesHandCursor() const { return handCursor_; }
    // The tip shown while the pointer is over the button, or null.
    flying_tips* tip() const { return tip_; }
    QSize sizeHint() const override { return picture_.size(); }

protected:
    // `flyingTipsEnabled` is the application's switch, read each time a tip is painted.
    picture_button(QWidget* parent, const QString& tipText, bool handCursor, const QPixmap& picture,
        const int32_t& flyingTipsEnabled);

    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void closeTip();

    QString tipText_;
    bool handCursor_;
    QPixmap picture_;
    const int32_t& flyingTipsEnabled_;
    QPointer<flying_tips> tip_;
};

// Side of the source windows' buttons.
constexpr int kPictureButtonSide = 32;
// Side of the target window's zone buttons.
constexpr int kZoneButtonSide = 16;

class prompt : public picture_button {
    Q_OBJECT
public:
    prompt(QWidget* parent, const int32_t& flyingTipsEnabled);
};

class print_prompt : public picture_button {
    Q_OBJECT
public:
    print_prompt(QWidget* parent, const int32_t& flyingTipsEnabled);
};

class crop_prompt : public picture_button {
    Q_OBJECT
public:
    crop_prompt(QWidget* parent, const int32_t& flyingTipsEnabled);
};

class portion_merge_prompt : public picture_button {
    Q_OBJECT
public:
    portion_merge_prompt(QWidget* parent, const int32_t& flyingTipsEnabled);
};

class portion_unmerge_prompt : public picture_button {
    Q_OBJECT
public:
    portion_unmerge_prompt(QWidget* parent, const int32_t& flyingTipsEnabled);
};

class opaque_prompt : public picture_button {
    Q_OBJECT
public:
    opaque_prompt(QWidget* parent, const int32_t& flyingTipsEnabled);
};

class transparent_prompt : public picture_button {
    Q_OBJECT
public:
    transparent_prompt(QWidget* parent, const int32_t& flyingTipsEnabled);
};

} // namespace tessary
