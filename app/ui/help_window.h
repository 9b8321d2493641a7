#pragma once
#include <QString>
#include <QWidget>

class QTextBrowser;

namespace tessary {

class ChildWindow;

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

// "The user guide page ... cannot be found."
QString missingGuideMessage(const QString& path);

} // namespace tessary
