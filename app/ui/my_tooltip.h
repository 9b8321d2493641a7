#pragma once
#include <QColor>
#include <QObject>
#include <QProxyStyle>

class QApplication;

namespace tessary {

// The look of every tooltip of the program (toolbar buttons, menus): a 45-degree gradient
// from RGB (104, 165, 225) to RGB (37, 92, 222) inside a border of RGB (113, 166, 246), with
// white text. A toolbar button whose picture is not the first of its toolbar shows the picture
// beside the text.
inline const QColor kTipGradientStart(104, 165, 225);
inline const QColor kTipGradientEnd(37, 92, 222);
inline const QColor kTipBorder(113, 166, 246);
inline const QColor kTipText(Qt::white);

// Draws the tooltip panel; everything else is the base style's.
class ToolTipStyle : public QProxyStyle {
    Q_OBJECT
public:
    using QProxyStyle::QProxyStyle;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
        const QWidget* widget = nullptr) const override;
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr, const QWidget* widget = nullptr,
        QStyleHintReturn* returnData = nullptr) const override;
};

// The program's tooltip control, installed for the whole application at startup.
class CMyToolTipCtrl : public QObject {
    Q_OBJECT
public:
    // Installs the style, the tooltip palette and the picture rule; installing twice is harmless.
    static void install(QApplication& application);

    // The rich text a toolbar tooltip shows: the text alone, or the picture beside it.
    static QString tipText(const QString& text, const QIcon& picture, int imageIndex);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using QObject::QObject;
};

} // namespace tessary
