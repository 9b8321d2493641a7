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

// A grid whose rows after the header are all kRowHeight high, so that each left-out source
// shortens it by exactly that much.
QGridLayout* makeRowGrid(int rows)
{
    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(0);
    for (int r = 1; r <= rows; ++r)
        grid->setRowMinimumHeight(r, source_sizes::kRowHeight);
    return grid;
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

    QGridLayout* sizes = makeRowGrid(count_);
    sizes->addWidget(new QLabel("Width", this), 0, 1);
    sizes->addWidget(new QLabel("Height", this), 0, 2);
    percentFrame_ = new QGroupBox("Percent of Original", this);
    percentFrame_->setObjectName("percentFrame");
    QGridLayout* percents = makeRowGrid(count_);
    percents->addWidget(new QLabel("Width ", percentFrame_), 0, 0);
    percents->addWidget(new QLabel("Height", percentFrame_), 0, 1);
    percentFrame_->setLayout(percents);

    for (int n = 1; n <= count_; ++n) {
        Row& row = rows_[size_t(n - 1)];
        const QString number = QString::number(n);
        row.width = makeField(this, "width" + number, false);
        row.height = makeField(this, "height" + number, false);
        row.percentX = makeField(percentFrame_, "percentWidth" + number, true);
        row.percentY = makeField(percentFrame_, "percentHeight" + number, true);
        sizes->addWidget(new QLabel(number, this), n, 0);
        sizes->addWidget(row.width, n, 1);
        sizes->addWidget(row.height, n, 2);
        percents->addWidget(row.percentX, n, 0);
        percents->addWidget(row.percentY, n, 1);
        const SourceSizeRow shown = sourceSizeRow(workspace, n);
        showNumber(row.width, shown.width);
        showNumber(row.height, shown.height);
        showNumber(row.percentX, shown.percentX);
        showNumber(row.percentY, shown.percentY);
    }

    auto* apply = new QPushButton("Apply", this);
    apply->setObjectName("apply");
    apply->setAutoDefault(false);
    auto* ok = new QPushButton("Ok", this);
    ok->setObjectName("ok");
    ok->setDefault(true);
    connect(apply, &QPushButton::clicked, this, &source_sizes::apply);
    connect(ok, &QPushButton::clicked, this, &source_sizes::okPressed);

    auto* table = new QHBoxLayout;
    table->addLayout(sizes);
    table->addWidget(percentFrame_, 0, Qt::AlignTop);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(apply);
    buttons->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Sizes in pixels shown and entered here are before any rotation", this));
    layout->addLayout(table);
    layout->addStretch();
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
