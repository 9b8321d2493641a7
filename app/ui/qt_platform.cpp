#include "app/ui/qt_platform.h"

#include "app/ui/font_chooser.h"
#include "app/ui/qt_convert.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QSettings>
#include <QWindow>

#include <algorithm>

namespace tessary {

namespace {
QString settingKey(const std::string& section, const std::string& name)
{
    return qs(section) + "/" + qs(name);
}

const char* const kOrganisation = "Vuzezur Adadarize";
const char* const kApplication = "Tessary";
}

QtPlatform::QtPlatform(QObject* parent)
    : QObject(parent)
{
    if (qApp)
        qApp->installEventFilter(this);
}

QtPlatform::~QtPlatform()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

namespace {
bool isEscapeKey(QEvent* event)
{
    return (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)
        && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape;
}

bool isUserInput(QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::NonClientAreaMouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::InputMethod:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::DragLeave:
    case QEvent::Drop:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::Gesture:
    case QEvent::NativeGesture:
    case QEvent::HoverEnter:
    case QEvent::HoverMove:
    case QEvent::HoverLeave:
    case QEvent::Enter:
    case QEvent::Leave:
        return true;
    case QEvent::Close:
        // A close the window system asks for; the program's own closes still happen.
        return event->spontaneous();
    default:
        return false;
    }
}
}

bool QtPlatform::eventFilter(QObject* watched, QEvent* event)
{
    if (isEscapeKey(event)) {
        if (!static_cast<QKeyEvent*>(event)->isAutoRepeat()) {
            escapeDown_ = event->type() == QEvent::KeyPress;
            // A short tap may be over before the work next looks: it still counts, once.
            if (escapeDown_ && isBusy())
                escapePressed_ = true;
        }
        // While busy, Esc means "abandon the work" and nothing else: it answers no question.
        if (isBusy())
            return true;
    } else if (event->type() == QEvent::ApplicationDeactivate) {
        escapeDown_ = false;
    }
    if (isBusy() && isDiscardedWhileBusy(watched, event))
        return true;
    return QObject::eventFilter(watched, event);
}

bool QtPlatform::isDiscardedWhileBusy(QObject* watched, QEvent* event) const
{
    if (!isUserInput(event))
        return false;
    for (QWidget* box : busyMessageBoxes_) {
        if (watched == box->windowHandle())
            return false;
        if (auto* widget = qobject_cast<QWidget*>(watched); widget && widget->window() == box)
            return false;
    }
    return true;
}

void QtPlatform::enterBusy()
{
    if (busyDepth_++ > 0)
        return;
    // Filters installed last see events first: the busy filter must come before any other.
    if (qApp) {
        qApp->removeEventFilter(this);
        qApp->installEventFilter(this);
    }
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    escapePressed_ = false;
    if (statusSink_)
        for (int pane : { 0, 2 })
            paneTextBeforeBusy_[pane] = statusSink_->paneText(pane);
}

void QtPlatform::leaveBusy()
{
    if (busyDepth_ <= 0 || --busyDepth_ > 0)
        return;
    QGuiApplication::restoreOverrideCursor();
    if (statusSink_)
        for (int pane : { 0, 2 })
            statusSink_->paintPaneText(pane, paneTextBeforeBusy_[pane]);
}

bool QtPlatform::isEscapeDown()
{
    // Outside long work there is nothing to pump for: input goes its usual way.
    if (isBusy())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    const bool tapped = escapePressed_;
    escapePressed_ = false;
    return escapeDown_ || tapped;
}

MessageAnswer QtPlatform::messageBox(const std::string& text, MessageIcon icon, MessageButtons buttons)
{
    QMessageBox box(dialogParent_);
    box.setWindowTitle("Tessary");
    box.setText(qs(text));
    switch (icon) {
    case MessageIcon::Plain:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case MessageIcon::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case MessageIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case MessageIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MessageIcon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    }
    if (buttons == MessageButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    const bool busy = isBusy();
    if (busy) {
        busyMessageBoxes_.append(&box);
        QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    const int pressed = box.exec();
    if (busy) {
        QGuiApplication::restoreOverrideCursor();
        busyMessageBoxes_.removeAll(&box);
        // Esc pressed while the box was up answered nothing and stops nothing more.
        escapePressed_ = false;
    }
    if (buttons == MessageButtons::YesNo)
        return pressed == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
    return MessageAnswer::Ok;
}

void QtPlatform::showStatusMessage(const std::string& text)
{
    if (statusSink_)
        statusSink_->showPassingMessage(QString::fromStdString(text));
}

void QtPlatform::setStatusPaneText(int pane, const std::string& text)
{
    if (statusSink_)
        statusSink_->paintPaneText(pane, qs(text));
}

void QtPlatform::setProgress(int percent, ColourRef colour)
{
    if (statusSink_)
        statusSink_->paintProgress(percent, colour);
}

int QtPlatform::getSettingInt(const std::string& section, const std::string& name, int defaultValue)
{
    QSettings s(kOrganisation, kApplication);
    bool ok = false;
    const int value = s.value(settingKey(section, name), defaultValue).toInt(&ok);
    return ok ? value : defaultValue;
}

void QtPlatform::setSettingInt(const std::string& section, const std::string& name, int value)
{
    QSettings s(kOrganisation, kApplication);
    s.setValue(settingKey(section, name), value);
}

std::string QtPlatform::getSettingText(
    const std::string& section, const std::string& name, const std::string& defaultValue)
{
    QSettings s(kOrganisation, kApplication);
    return s.value(settingKey(section, name), qs(defaultValue)).toString().toStdString();
}

void QtPlatform::setSettingText(const std::string& section, const std::string& name, const std::string& value)
{
    QSettings s(kOrganisation, kApplication);
    s.setValue(settingKey(section, name), qs(value));
}

std::optional<std::vector<uint8_t>> QtPlatform::clipboardImage()
{
    const QImage image = QGuiApplication::clipboard()->image();
    if (image.isNull())
        return std::nullopt;
    return dibBlockFromImage(image);
}

bool QtPlatform::clipboardHasImage()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasImage();
}

std::optional<TextExtent> QtPlatform::measureText(const LogFont& font, const std::string& line)
{
    if (font.faceName.empty())
        return std::nullopt;
    QFontMetrics metrics(fontFromLogFont(font));
    // An empty line takes no room of its own: a text of nothing but line ends has no height.
    if (line.empty())
        return TextExtent { 0, 0 };
    return TextExtent { metrics.horizontalAdvance(qs(line)), metrics.height() };
}

std::optional<MonoBitmap> QtPlatform::renderText(
    const LogFont& font, const std::string& text, int32_t width, int32_t height)
{
    if (font.faceName.empty() || width <= 0 || height <= 0)
        return std::nullopt;
    QImage canvas(width, height, QImage::Format_RGB32);
    if (canvas.isNull())
        return std::nullopt;
    canvas.fill(Qt::black);
    {
        QPainter painter(&canvas);
        const QFont qfont = fontFromLogFont(font);
        painter.setFont(qfont);
        painter.setPen(Qt::white);
        // Lines step by the height they were measured with (Qt's own multi-line drawing adds
        // the font's leading, which would lose lines at the bottom).
        const QFontMetrics metrics(qfont);
        const QStringList lines = qs(text).split('\n');
        for (qsizetype i = 0; i < lines.size(); ++i) {
            QString line = lines[i];
            if (line.endsWith('\r'))
                line.chop(1);
            const int top = 1 + int(i) * metrics.height();
            if (top >= height)
                break;
            painter.drawText(QRect(1, top, width - 1, metrics.height()),
                Qt::AlignLeft | Qt::AlignTop | Qt::TextExpandTabs | Qt::TextSingleLine, line);
        }
    }
    // No monochrome surface here: threshold the rendered grey to one bit.
    MonoBitmap bitmap;
    bitmap.width = width;
    bitmap.height = height;
    bitmap.bytesPerRow = (width + 15) / 16 * 2;
    bitmap.bits.assign(size_t(bitmap.bytesPerRow) * size_t(height), 0);
    for (int32_t y = 0; y < height; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(canvas.constScanLine(y));
        for (int32_t x = 0; x < width; ++x)
            if (qGray(line[x]) >= 128)
                bitmap.bits[size_t(y) * size_t(bitmap.bytesPerRow) + size_t(x / 8)]
                    |= uint8_t(0x80 >> (x % 8));
    }
    return bitmap;
}

namespace {
// The request's extra choice as a labelled list under the dialog's own fields. Only Qt's own
// dialog can take it, so a request with a choice does not use the system's dialog.
QComboBox* addChoice(QFileDialog& dialog, const FileDialogRequest& request)
{
    if (request.choices.empty())
        return nullptr;
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
    if (!grid)
        return nullptr;
    auto* box = new QComboBox(&dialog);
    box->setObjectName("fileDialogChoice");
    for (const std::string& entry : request.choices)
        box->addItem(qs(entry));
    box->setCurrentIndex(request.choiceIndex);
    auto* label = new QLabel(qs(request.choiceLabel), &dialog);
    label->setBuddy(box);
    const int row = grid->rowCount();
    grid->addWidget(label, row, 0);
    grid->addWidget(box, row, 1, 1, std::max(1, grid->columnCount() - 1));
    return box;
}

std::optional<FileDialogResult> runFileDialog(QWidget* parent, const FileDialogRequest& request, bool save)
{
    QFileDialog dialog(parent, qs(request.title), qs(request.initialFolder));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::ReadOnly, false);
    const QStringList filters = nameFiltersFromProgramFilter(request.filter);
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
        dialog.selectNameFilter(filters[request.filterIndex - 1]);
    if (!request.initialName.empty())
        dialog.selectFile(qs(request.initialName));
    const QComboBox* choice = addChoice(dialog, request);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    FileDialogResult result;
    if (choice)
        result.choiceIndex = choice->currentIndex();
    result.path = dialog.selectedFiles().first().toStdString();
    result.filterIndex = int(filters.indexOf(dialog.selectedNameFilter())) + 1;
    if (result.filterIndex < 1)
        result.filterIndex = 1;
    return result;
}
}

std::optional<FileDialogResult> QtPlatform::chooseOpenFile(const FileDialogRequest& request)
{
    return runFileDialog(dialogParent_, request, false);
}

std::optional<FileDialogResult> QtPlatform::chooseSaveFile(const FileDialogRequest& request)
{
    return runFileDialog(dialogParent_, request, true);
}

std::optional<std::string> QtPlatform::chooseFolder(
    const std::string& title, const std::string& initialFolder)
{
    const QString folder = QFileDialog::getExistingDirectory(dialogParent_, qs(title), qs(initialFolder));
    if (folder.isEmpty())
        return std::nullopt;
    return folder.toStdString();
}

std::optional<ColourRef> QtPlatform::chooseColour(ColourRef initial)
{
    const QColor chosen
        = QColorDialog::getColor(QColor(redOf(initial), greenOf(initial), blueOf(initial)), dialogParent_);
    if (!chosen.isValid())
        return std::nullopt;
    return makeColourRef(uint8_t(chosen.red()), uint8_t(chosen.green()), uint8_t(chosen.blue()));
}

std::optional<FontChoice> QtPlatform::chooseFont(const FontChoice& initial)
{
    font_chooser chooser(initial, dialogParent_);
    if (chooser.exec() != QDialog::Accepted)
        return std::nullopt;
    return chooser.choice();
}

} // namespace tessary
