#pragma once
#include "app/ui/qt_platform.h"

#include <QMainWindow>
#include <array>

class QLabel;
class QMdiArea;
class QProgressBar;

namespace tessary {

class MergeWorkspace;

// The one top-level window: the tabbed child windows and the four-pane status bar.
class MainFrame : public QMainWindow, public QtPlatform::StatusSink {
    Q_OBJECT
public:
    static constexpr std::array<int, 4> kPaneWidths { 350, 250, 200, 100 };

    MainFrame(MergeWorkspace& workspace, QtPlatform& platform);

    QMdiArea* mdiArea() const { return mdi_; }
    QLabel* pane(int index) const { return panes_[size_t(index)]; }

    void paintPaneText(int pane, const QString& text) override;
    void paintProgress(int percent, ColourRef colour) override;

private:
    MergeWorkspace& workspace_;
    QMdiArea* mdi_ = nullptr;
    std::array<QLabel*, 4> panes_ {};
    QProgressBar* progress_ = nullptr;
};

} // namespace tessary
