#include "corrections/ui/correction_dialog.h"

#include "corrections/ui/progress_strip.h"
#include "merge/ui/scroll_target_arrows.h"
#include "sources/source_doc.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace tessary {

CorrectionDialog::CorrectionDialog(
    const SourceWindow& window, bool closingRestores, QWidget* parent, const char* backupFailureText)
    : QDialog(parent)
    , window_(window)
    , session_(window.doc, window.platform)
    , closingRestores_(closingRestores)
{
    strip_ = new ProgressStrip(this);
    session_.open(backupFailureText);
}

CorrectionStatus CorrectionDialog::applyCorrection(
    const std::function<CorrectionStatus(const MaskedDib&, MaskedDib&, const RowProgress&)>& correct)
{
    const CorrectionStatus status = session_.apply([&](const MaskedDib& backup, MaskedDib& result) {
        const int32_t height = backup.height();
        return correct(backup, result, [this, height](int32_t row) { strip_->showRow(row, height); });
    });
    strip_->finish();
    if (status == CorrectionStatus::Done && window_.imageChanged)
        window_.imageChanged();
    return status;
}

void CorrectionDialog::done(int result)
{
    if (session_.changed()) {
        if (result == Rejected && closingRestores_) {
            session_.cancel();
            if (window_.imageChanged)
                window_.imageChanged();
        } else if (window_.changeKept) {
            window_.changeKept(session_.takeOriginal());
        }
    }
    QDialog::done(result);
}

} // namespace tessary

namespace tessary {

QLayout* CorrectionDialog::okApplyCancel(const std::function<bool()>& apply)
{
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    const char* const names[3][2] = { { "OK", "ok" }, { "Apply", "apply" }, { "Cancel", "cancel" } };
    QPushButton* made[3];
    for (int n = 0; n < 3; ++n) {
        made[n] = new QPushButton(names[n][0], this);
        made[n]->setObjectName(names[n][1]);
        made[n]->setAutoDefault(false);
        buttons->addWidget(made[n]);
    }
    made[0]->setDefault(true);
    connect(made[0], &QPushButton::clicked, this, [this, apply] {
        if (apply())
            accept();
    });
    connect(made[1], &QPushButton::clicked, this, [apply] { apply(); });
    connect(made[2], &QPushButton::clicked, this, &CorrectionDialog::reject);
    return buttons;
}

ScrollTargetArrows* CorrectionDialog::makeScrollArrows(const QString& title)
{
    arrows_ = new ScrollTargetArrows(window_.scroll, this, title);
    arrows_->setObjectName("scrollSourceArrows");
    return arrows_;
}

} // namespace tessary
