#pragma once
#include <QToolBar>
#include <array>

class QActionGroup;

namespace tessary {

class MergeWorkspace;

// The source-selection toolbar of the Align Window: one button per source place. Buttons 1 and
// 2 work once two sources are loaded, button n >= 3 once n sources are; the selected source's
// button shows pressed.
class select_toolbar : public QToolBar {
    Q_OBJECT
public:
    select_toolbar(MergeWorkspace& workspace, QWidget* parent);

    QAction* button(int number) const { return buttons_[size_t(number - 1)]; }
    // Enables the buttons for the number of loaded sources and shows the selection.
    void refresh();
    // Makes `number` the selected source: the workspace's `selectedSource` and the pressed button.
    void selectSource(int number);

signals:
    // The Align view follows the selection (outline, repaint, Rotate dialog, quick-align buttons).
    void sourceSelected(int number);

private:
    MergeWorkspace& workspace_;
    std::array<QAction*, 8> buttons_ {};
};

} // namespace tessary
