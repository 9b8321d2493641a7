#include "merge/ui/folder_win.h"

#include "app/platform.h"
#include "merge/batch_files.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tessary {

new_dir::new_dir(QWidget* parent)
    : QDialog(parent)
{
    setObjectName("new_dir");
    setWindowTitle("Enter new directory name");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Enter new directory name", this));
    name_ = new QLineEdit(this);
    name_->setObjectName("name");
    name_->setMaxLength(kMaxNewDirectoryName);
    layout->addWidget(name_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

QString new_dir::name() const
{
    return name_->text();
}

folder_win::folder_win(Platform& platform, const QString& preselected, QWidget* parent)
    : QFileDialog(parent, kSelectTargetFolderText)
    , platform_(platform)
{
    setObjectName("folder_win");
    // Our own widgets, so that the button can join the browser.
    setOption(QFileDialog::DontUseNativeDialog, true);
    setOption(QFileDialog::ShowDirsOnly, true);
    setFileMode(QFileDialog::Directory);
    setAcceptMode(QFileDialog::AcceptOpen);
    setLabelText(QFileDialog::Accept, "OK");

    create_ = new QPushButton("Create Directory", this);
    create_->setObjectName("createDirectory");
    create_->setEnabled(false);
    create_->setFixedSize(130, 22);
    if (auto* grid = qobject_cast<QGridLayout*>(layout()))
        grid->addWidget(create_, grid->rowCount(), 0, Qt::AlignLeft);
    connect(create_, &QPushButton::clicked, this, &folder_win::createPressed);
    connect(this, &QFileDialog::currentChanged, this, &folder_win::selectionChanged);
    connect(this, &QFileDialog::directoryEntered, this, &folder_win::selectionChanged);

    // The browser opens inside the preselected folder, which OK with nothing highlighted returns.
    if (!preselected.isEmpty())
        setDirectory(preselected);
    selectionChanged(preselected.isEmpty() ? directory().absolutePath() : preselected);
}

void folder_win::selectionChanged(const QString& path)
{
    selected_ = path;
    create_->setEnabled(!selected_.isEmpty());
}

void folder_win::createPressed()
{
    new_dir ask(this);
    if (ask.exec() == QDialog::Accepted)
        createNamed(ask.name());
}

void folder_win::createNamed(const QString& name)
{
    const std::string typed = name.toStdString();
    if (!validNewDirectoryName(typed)) {
        platform_.messageBox(kInvalidNewDirectoryName, MessageIcon::Error, MessageButtons::Ok);
        return;
    }
    std::string made;
    if (!createNamedFolder(selected_.toStdString(), typed, made)) {
        platform_.messageBox(kCannotCreateTargetBatchDirectory, MessageIcon::Error, MessageButtons::Ok);
        return;
    }
    created_ = QString::fromStdString(made);
    // Closed as OK closes it, whatever the browser's own field holds.
    QDialog::accept();
}

} // namespace tessary
