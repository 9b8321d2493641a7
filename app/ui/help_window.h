#pragma once
#include "app/ui/child_window.h"

#include <QString>
#include <QWidget>

class QTextBrowser;

namespace tessary {

// The user guide in a window of its own: the pages of the guide the program ships (Markdown
// with screenshots, in the data folder's guide/), with Back, Forward and Contents. Links to other
// sites open in the system browser.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* kContentsPage = "index.md";

    // `guideFolder` holds the guide's pages.
    HelpWindow(const QString& guideFolder, QWidget* parent);

    // Shows `page` of the guide; false when that page is not there.
    bool showPage(const QString& page);
    QTextBrowser* browser() const { return browser_; }

private:
    QString guideFolder_;
    QTextBrowser* browser_ = nullptr;
};

// The page of the guide about the window the user is working in (the contents with none).
QString helpPageFor(const ChildWindow* window);
// Specific help (Shift+F1, then a click): what a window kind or the status bar is, with a link
// to its page of the guide.
QString windowHelpText(ChildWindow::Kind kind);
QString statusBarHelpText();

// "The user guide page ... cannot be found."
QString missingGuideMessage(const QString& path);

} // namespace tessary
