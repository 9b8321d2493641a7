#include "align/ui/source_sizes_dialog.h"

#include "align/source_sizes.h"
#include "align/ui/integer_edit.h"
#include "app/platform.h"
#include "app/workspace.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace tessary {

namespace {
QLineEdit* makeField(QWidget* parent, const QString& name, bool readOnly)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setReadOnly(readOnly);
    edit->setFixedWidth(readOnly ? 50 : 70);
    if (readOnly)
        edit->setFocusPolicy(Qt::NoFocus);
    return edit;
}

void showNumber(QLineEdit* edit, int64_t value)
{
    edit->setText(QString::number(value));
}
}

source_sizes::source_sizes(MergeWorkspace& workspace, Platform& platform, QWidget* parent)
    : QDialog(parent)
    , workspace_(workspace)
    , platform_(platform)
{
    setObjectName("source_sizes");
    setWindowTitle(kSourceSizesCaption);
    setModal(true);
    count_ = std::clamp(workspace.sourceCount, 0, kMaxSources);

    // One grid for the whole table, so that every row of fields lines up: row 0 holds the
    // percent frame's title, row 1 the column heads, then one row per source. The frame spans
    // the percent columns and every row, drawn under the fields made after it, so it too is
    // exactly kRowHeight shorter for each source left out.
    enum Column { Number, Width, Height, FrameLeft, PercentX, PercentY, FrameRight };
    auto* table = new QGridLayout;
    table->setVerticalSpacing(0);
    table->setRowMinimumHeight(0, 24);
    table->setColumnMinimumWidth(FrameLeft, 8);
    table->setColumnMinimumWidth(FrameRight, 8);
    percentFrame_ = new QGroupBox("Percent of Original", this);
    percentFrame_->setObjectName("percentFrame");
    table->addWidget(percentFrame_, 0, FrameLeft, count_ + 2, FrameRight - FrameLeft + 1);
    table->addWidget(new QLabel("Width", this), 1, Width);
    table->addWidget(new QLabel("Height", this), 1, Height);
    table->addWidget(new QLabel("Width ", this), 1, PercentX);
    table->addWidget(new QLabel("Height", this), 1, PercentY);

    for (int n = 1; n <= count_; ++n) {
        Row& row = rows_[size_t(n - 1)];
        const QString number = QString::number(n);
        const int r = n + 1;
        table->setRowMinimumHeight(r, kRowHeight);
        row.width = makeField(this, "width" + number, false);
        row.height = makeField(this, "height" + number, false);
        row.percentX = makeField(this, "percentWidth" + number, true);
        row.percentY = makeField(this, "percentHeight" + number, true);
        table->addWidget(new QLabel(number, this), r, Number);
        table->addWidget(row.width, r, Width);
        table->addWidget(row.height, r, Height);
        table->addWidget(row.percentX, r, PercentX);
        table->addWidget(row.percentY, r, PercentY);
        const SourceSizeRow shown = sourceSizeRow(workspace, n);
        showNumber(row.width, shown.width);
        showNumber(row.height, shown.height);
        showNumber(row.percentX, shown.percentX);
        showNumber(row.percentY, shown.percentY);
    }
    // A little room under the last row inside the frame.
    table->setRowMinimumHeight(count_ + 2, 4);

    auto* apply = new QPushButton("Apply", this);
    apply->setObjectName("apply");
    apply->setAutoDefault(false);
    auto* ok = new QPushButton("Ok", this);
    ok->setObjectName("ok");
    ok->setDefault(true);
    connect(apply, &QPushButton::clicked, this, &source_sizes::apply);
    connect(ok, &QPushButton::clicked, this, &source_sizes::okPressed);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(apply);
    buttons->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Sizes in pixels shown and entered here are before any rotation", this));
    layout->addLayout(table);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool source_sizes::apply()
{
    std::vector<RequestedSize> wanted;
    for (int n = 1; n <= count_; ++n) {
        RequestedSize size;
        for (auto [edit, value] : { std::pair { rows_[size_t(n - 1)].width, &size.width },
                 std::pair { rows_[size_t(n - 1)].height, &size.height } }) {
            const std::optional<int32_t> read
                = checkIntegerEdit(edit, kSourceSizeMin, kSourceSizeMax, platform_);
            if (!read)
                return false;
            *value = *read;
        }
        wanted.push_back(size);
    }
    const SizedSources sized = applySourceSizes(workspace_, platform_, wanted);
    for (size_t i = 0; i < sized.rows.size(); ++i) {
        const Row& row = rows_[i];
        showNumber(row.width, sized.rows[i].width);
        showNumber(row.height, sized.rows[i].height);
        showNumber(row.percentX, sized.rows[i].percentX);
        showNumber(row.percentY, sized.rows[i].percentY);
    }
    if (sized.failed)
        done(-1);
    return true;
}

void source_sizes::okPressed()
{
    if (apply() && isVisible())
        accept();
}

} // namespace tessary
