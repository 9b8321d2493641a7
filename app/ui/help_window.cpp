#include "app/ui/help_window.h"

#include "app/ui/child_window.h"

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

QString missingGuideMessage(const QString& path)
{
    return "The user guide page " + QDir::toNativeSeparators(path) + " cannot be found.";
}

} // namespace tessary
