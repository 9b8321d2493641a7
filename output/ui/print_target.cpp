#include "output/ui/print_target.h"

#include "app/long_operation.h"
#include "app/platform.h"
#include "app/workspace.h"
#include "output/extract_target_image.h"
#include "output/print_geometry.h"
#include "output/ui/draw_nearest.h"
#include "output/ui/print_layout_dialog.h"

#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

namespace tessary {

PrinterDialogs platformPrinterDialogs()
{
    PrinterDialogs dialogs;
    dialogs.choosePrinter = [](QPrinter& printer, QWidget* parent) {
        QPrintDialog dialog(&printer, parent);
        // One page: no range and no selection; copies and collation stay in the printer's
        // settings. Printing to a PDF file stays: on many desktops it is the only printer.
        dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintCollateCopies
            | QAbstractPrintDialog::PrintShowPageSize);
        return dialog.exec() == QDialog::Accepted;
    };
    dialogs.setupPrinter = [](QPrinter& printer, QWidget* parent) {
        QPageSetupDialog dialog(&printer, parent);
        dialog.exec();
    };
    return dialogs;
}

void printTargetCommand(MergeWorkspace& workspace, Platform& platform, QPrinter& printer,
    const PrinterDialogs& dialogs, QWidget* parent)
{
    if (!dialogs.choosePrinter(printer, parent))
        return;
    const PrinterMetrics metrics = printerMetrics(printer);
    if (!metrics.usable()) {
        platform.messageBox(kUnusablePrinter, MessageIcon::Error, MessageButtons::Ok);
        return;
    }
    print_layout dialog(workspace, platform, metrics, parent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    workspace.printSettings = dialog.settings();
    printTargetPage(workspace, platform, printer);
}

bool printTargetPage(const MergeWorkspace& workspace, Platform& platform, QPrinter& printer)
{
    const PrinterMetrics metrics = printerMetrics(printer);
    if (!metrics.usable()) {
        platform.messageBox(kUnusablePrinter, MessageIcon::Error, MessageButtons::Ok);
        return false;
    }
    const std::unique_ptr<PackedDib> picture = extractTargetImage(workspace, platform);
    bool printed = false;
    {
        // A large page takes a while: the program's one busy state holds input off meanwhile.
        LongOperation busy(platform);
        QPainter painter;
        printed = painter.begin(&printer);
        if (printed && picture) {
            const PageRect target
                = printRectangle(workspace.printSettings, metrics, picture->width(), picture->height());
            printed
                = drawNearest(painter, *picture, target, PageRect { 0, 0, metrics.horzRes, metrics.vertRes });
        }
        if (painter.isActive()) {
            // A page drawn only in part is not sent.
            if (!printed)
                printer.abort();
            if (!painter.end())
                printed = false;
        }
    }
    if (!printed)
        platform.messageBox(kPrintFailed, MessageIcon::Error, MessageButtons::Ok);
    return printed;
}

} // namespace tessary
