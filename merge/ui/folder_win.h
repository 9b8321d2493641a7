#pragma once
#include <QDialog>
#include <QFileDialog>
#include <QString>

class QLineEdit;
class QPushButton;

namespace tessary {

class Platform;

inline constexpr const char* kSelectTargetFolderText
    = "Select the target folder to store the batch-merged files.";

// "Enter new directory name": one edit of at most 200 characters, OK and Cancel.
class new_dir : public QDialog {
    Q_OBJECT
public:
    explicit new_dir(QWidget* parent = nullptr);
    QLineEdit* nameEdit() const { return name_; }
    QString name() const;

private:
    QLineEdit* name_ = nullptr;
};

// The folder browser of the batch merge: folders only, opened on a preselected folder, with a
// "Create Directory" button at its lower left that is enabled while a folder is selected. The
// button asks for a name (new_dir), makes the folder inside the selected one and closes the
// browser as OK does, with createdFolder() telling which folder was made.
class folder_win : public QFileDialog {
    Q_OBJECT
public:
    folder_win(Platform& platform, const QString& preselected, QWidget* parent = nullptr);

    QPushButton* createButton() const { return create_; }
    // The folder the selection is on: the highlighted one, or the one shown.
    QString selectedPath() const { return selected_; }
    // The folder the Create Directory button made, or empty.
    QString createdFolder() const { return created_; }
    // Create Directory with `name` already typed (what the button does after asking).
    void createNamed(const QString& name);

private:
    void selectionChanged(const QString& path);
    void createPressed();

    Platform& platform_;
    QPushButton* create_ = nullptr;
    QString selected_;
    QString created_;
};

} // namespace tessary
