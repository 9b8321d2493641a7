// Flying tips and the look of the program's tooltips, checked on the painted pixels.
#include "app/ui/flying_tips.h"
#include "app/ui/main_frame.h"
#include "app/ui/my_tooltip.h"
#include "app/workspace.h"
#include "support/fake_platform.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QtTest>

using namespace tessary;

namespace {

QColor pixel(const QImage& image, int x, int y)
{
    return QColor(image.pixel(x, y));
}

// A parent painted in a colour no tip uses, so unpainted tips show it.
struct Canvas {
    QWidget widget;
    Canvas()
    {
        widget.resize(400, 300);
        widget.setAutoFillBackground(true);
        QPalette palette;
        palette.setColor(QPalette::Window, QColor(255, 0, 255));
        widget.setPalette(palette);
        widget.show();
    }
};

QWidget* visibleToolTip()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->inherits("QTipLabel") && w->isVisible())
            return w;
    return nullptr;
}

int colourDistance(const QColor& a, const QColor& b)
{
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue());
}

} // namespace

class TipsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { CMyToolTipCtrl::install(*qApp); }

    void flyingTipTakesTheSizeOfItsText()
    {
        Canvas canvas;
        auto* tip = new flying_tips(&canvas.widget, QRect(30, 40, 5, 5));
        QCOMPARE(tip->windowTitle(), QString("tips"));
        const QString shortLine = "Drag";
        const QString longLine = "Drag to move the selected source";
        showFlyingTip(tip, shortLine + "\n" + longLine, 1);
        const QFontMetrics metrics(flyingTipFont());
        QCOMPARE(flyingTipFont().pointSize(), 8);
        const int h = metrics.height();
        QCOMPARE(tip->geometry(), QRect(30, 40, metrics.horizontalAdvance(longLine) + 10, 2 * h + 2));

        const QImage image = tip->grab().toImage();
        const int w = image.width(), ht = image.height();
        // A black border all round, the tip colour inside it where no text is.
        for (const QPoint corner :
            { QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, ht - 1), QPoint(w - 1, ht - 1) })
            QCOMPARE(pixel(image, corner.x(), corner.y()), QColor(Qt::black));
        QCOMPARE(pixel(image, w / 2, 0), QColor(Qt::black));
        QCOMPARE(pixel(image, 0, ht / 2), QColor(Qt::black));
        QCOMPARE(pixel(image, w - 1, ht / 2), QColor(Qt::black));
        QCOMPARE(pixel(image, w / 2, ht - 1), QColor(Qt::black));
        QCOMPARE(pixel(image, 2, ht / 2), QColor(221, 255, 238));
        QCOMPARE(pixel(image, w - 3, ht / 2), QColor(221, 255, 238));
        // Right of the short first line there is only background.
        QCOMPARE(pixel(image, w - 8, 1 + h / 2), QColor(221, 255, 238));
        // And there is text: some dark pixels inside.
        int dark = 0;
        for (int y = 1; y < ht - 1; ++y)
            for (int x = 1; x < w - 1; ++x)
                dark += qGray(image.pixel(x, y)) < 128;
        QVERIFY(dark > 20);
    }

    void flyingTipKeepsTenLines()
    {
        Canvas canvas;
        auto* tip = new flying_tips(&canvas.widget, QRect(0, 0, 5, 5));
        QStringList lines;
        for (int i = 1; i <= 12; ++i)
            lines << QString("line %1").arg(i) + (i == 12 ? " which is the longest of all" : "");
        showFlyingTip(tip, lines.join('\n'), 1);
        const QFontMetrics metrics(flyingTipFont());
        QCOMPARE(tip->height(), 10 * metrics.height() + 2);
        // Lines 11 and 12 are gone, so the long twelfth line does not widen the box.
        QCOMPARE(tip->width(), metrics.horizontalAdvance("line 10") + 10);
    }

    void switchedOffFlyingTipStaysUnpainted()
    {
        Canvas canvas;
        auto* tip = new flying_tips(&canvas.widget, QRect(20, 20, 60, 30));
        showFlyingTip(tip, "Some help", 0);
        QCOMPARE(tip->geometry(), QRect(20, 20, 60, 30));
        QVERIFY(tip->painted().isNull());
        const QImage image = canvas.widget.grab().toImage();
        QCOMPARE(pixel(image, 20, 20), QColor(255, 0, 255));
        QCOMPARE(pixel(image, 50, 35), QColor(255, 0, 255));

        // Switching tips on again paints the next refresh.
        showFlyingTip(tip, "Some help", 1);
        const QImage painted = canvas.widget.grab().toImage();
        QCOMPARE(pixel(painted, 20, 20), QColor(Qt::black));
        QCOMPARE(pixel(painted, 22, 22), QColor(221, 255, 238));
    }

    void tooltipsHaveTheProgramsGradientBorderAndWhiteText()
    {
        QWidget owner;
        owner.resize(200, 100);
        owner.show();
        QToolTip::showText(owner.mapToGlobal(QPoint(10, 10)), "Center Horizontally and a bit more", &owner);
        QWidget* label = visibleToolTip();
        QVERIFY(label);
        const QImage image = label->grab().toImage();
        const int w = image.width(), h = image.height();
        QVERIFY(w > 40 && h > 10);
        QCOMPARE(pixel(image, 0, 0), QColor(113, 166, 246));
        QCOMPARE(pixel(image, w - 1, h - 1), QColor(113, 166, 246));
        // 45 degrees: the start colour at the bottom-left corner, the end colour at the top-right.
        QVERIFY(colourDistance(pixel(image, 1, h - 2), QColor(104, 165, 225)) < 12);
        QVERIFY(colourDistance(pixel(image, w - 2, 1), QColor(37, 92, 222)) < 12);
        // The colour is the same along a line falling at 45 degrees (the tip is wider than high).
        QVERIFY(colourDistance(pixel(image, 1, 1), pixel(image, h - 2, h - 2)) < 4);
        QVERIFY(colourDistance(pixel(image, w - h + 1, 1), pixel(image, w - 2, h - 2)) < 4);
        QVERIFY(colourDistance(pixel(image, 1, 1), pixel(image, w - 2, h - 2)) > 20);
        int white = 0;
        for (int y = 1; y < h - 1; ++y)
            for (int x = 1; x < w - 1; ++x)
                white += pixel(image, x, y) == QColor(Qt::white);
        QVERIFY(white > 10);
        QToolTip::hideText();
    }

    void toolbarTooltipsShowThePictureExceptTheFirst()
    {
        testing::FakePlatform platform(
            [](const std::string& text) { QTest::qFail(text.c_str(), __FILE__, __LINE__); });
        MergeWorkspace workspace;
        MainFrame frame(workspace, platform);
        frame.show();
        QToolBar* bar = frame.alignToolBar();
        bar->show();
        const QList<QAction*> actions = bar->actions();
        // Five Align commands, a separator, Undo and Redo.
        QCOMPARE(actions.size(), 8);
        auto tipOf = [&](QAction* action) {
            QWidget* button = bar->widgetForAction(action);
            QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), button->mapToGlobal(QPoint(2, 2)));
            QApplication::sendEvent(button, &help);
            const QString text = QToolTip::text();
            QToolTip::hideText();
            return text;
        };
        QCOMPARE(tipOf(actions[0]), QString("Center Vertically"));
        const QString second = tipOf(actions[1]);
        QVERIFY2(
            second.contains("<img src=\"data:image/png;base64,") && second.contains("Center Horizontally"),
            qPrintable(second));
        QCOMPARE(CMyToolTipCtrl::tipText("Skew", QIcon(), 3), QString("Skew"));
    }
};

QTEST_MAIN(TipsTest)
#include "test_tips.moc"
