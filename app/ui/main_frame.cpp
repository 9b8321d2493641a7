#include "app/ui/main_frame.h"

#include "app/workspace.h"

#include <QLabel>
#include <QMdiArea>
#include <QProgressBar>
#include <QStatusBar>
#include <QTabBar>

namespace tessary {

MainFrame::MainFrame(MergeWorkspace& workspace, QtPlatform& platform)
    : workspace_(workspace)
{
    setWindowTitle("Tessary");
    mdi_ = new QMdiArea(this);
    mdi_->setViewMode(QMdiArea::TabbedView);
    mdi_->setTabsClosable(false);
    mdi_->setDocumentMode(true);
    setCentralWidget(mdi_);

    for (size_t i = 0; i < panes_.size(); ++i) {
        panes_[i] = new QLabel(this);
        panes_[i]->setFixedWidth(kPaneWidths[i]);
        statusBar()->addWidget(panes_[i]);
    }
    progress_ = new QProgressBar(panes_[3]);
    progress_->setGeometry(0, 0, kPaneWidths[3], 16);
    progress_->setTextVisible(false);
    progress_->hide();

    platform.setDialogParent(this);
    platform.setStatusSink(this);
    resize(1280, 800);
}

void MainFrame::paintPaneText(int pane, const QString& text)
{
    if (pane < 0 || pane >= int(panes_.size()))
        return;
    panes_[size_t(pane)]->setText(text);
    panes_[size_t(pane)]->repaint();
}

void MainFrame::paintProgress(int percent, ColourRef colour)
{
    progress_->setStyleSheet(QString("QProgressBar::chunk { background: rgb(%1,%2,%3); }")
                                 .arg(redOf(colour))
                                 .arg(greenOf(colour))
                                 .arg(blueOf(colour)));
    progress_->setValue(percent);
    progress_->setVisible(percent > 0 && percent < 100);
    progress_->repaint();
}

} // namespace tessary
