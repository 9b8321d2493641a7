#include "app/ui/help_window.h"

#include <QDir>
#include <QFileInfo>
#include <QTextBrowser>
#include <QToolBar>
#include <QVBoxLayout>

namespace tessary {

HelpWindow::HelpWindow(const QString& guideFolder, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , guideFolder_(guideFolder)
{
    setObjectName("HelpWindow");
    setWindowTitle("Tessary Help");
    browser_ = new QTextBrowser(this);
    browser_->setObjectName("guide");
    browser_->setOpenExternalLinks(true);
    browser_->setSearchPaths({ guideFolder });

    auto* bar = new QToolBar(this);
    QAction* back = bar->addAction("Back", browser_, &QTextBrowser::backward);
    QAction* forward = bar->addAction("Forward", browser_, &QTextBrowser::forward);
    bar->addAction("Contents", this, [this] { showPage(kContentsPage); });
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(browser_);
    resize(820, 640);
}

bool HelpWindow::showPage(const QString& page)
{
    const QString path = QDir(guideFolder_).filePath(page);
    if (!QFileInfo(path).isFile())
        return false;
    // The page kind follows the file name: .md pages are read as Markdown.
    browser_->setSource(QUrl::fromLocalFile(path));
    return true;
}

QString helpPageFor(const ChildWindow* window)
{
    if (!window)
        return HelpWindow::kContentsPage;
    switch (window->kind()) {
    case ChildWindow::Kind::Source:
        return "source-windows.md";
    case ChildWindow::Kind::Align:
        return "align-window.md";
    case ChildWindow::Kind::Target:
        return "target-window.md";
    }
    return HelpWindow::kContentsPage;
}

namespace {
QString helpText(const QString& title, const QString& body, const QString& page)
{
    return "<b>" + title + "</b><p>" + body + "</p><p><a href=\"" + page
        + "\">More in the user guide</a></p>";
}
}

QString windowHelpText(ChildWindow::Kind kind)
{
    switch (kind) {
    case ChildWindow::Kind::Source:
        return helpText("Source window",
            "One loaded source at full size. Drag a box to crop it or to make an area transparent, "
            "opaque or smoothly blended.",
            "source-windows.md");
    case ChildWindow::Kind::Align:
        return helpText("Align Window",
            "All sources as they will lie in the target. Drag the selected source to move it, its "
            "handles to size or rotate it; the right button selects the next source.",
            "align-window.md");
    case ChildWindow::Kind::Target:
        return helpText("Target Window",
            "The merged target. Load Target or Merge Sources composes it; drag a zone to save only "
            "that part.",
            "target-window.md");
    }
    return {};
}

QString statusBarHelpText()
{
    return helpText("Status bar",
        "Menu prompts, what to do next or the size of the target, the phase of a long operation "
        "and its progress.",
        HelpWindow::kContentsPage);
}

QString missingGuideMessage(const QString& path)
{
    return "The user guide page " + QDir::toNativeSeparators(path) + " cannot be found.";
}

} // namespace tessary
