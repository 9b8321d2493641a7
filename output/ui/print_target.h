#pragma once
#include <functional>

class QPrinter;
class QWidget;

namespace tessary {

class MergeWorkspace;
class Platform;

inline constexpr const char* kPrintFailed = "The page could not be printed.";

// The printer choices the print commands need from the platform. The window tests put their own
// here, since the platform's print dialogs cannot be driven from a test.
struct PrinterDialogs {
    // The print dialog on `printer`: false when it was cancelled.
    std::function<bool(QPrinter& printer, QWidget* parent)> choosePrinter;
    // The printer setup dialog on `printer`.
    std::function<void(QPrinter& printer, QWidget* parent)> setupPrinter;
};

// QPrintDialog without page ranges or a selection, and QPageSetupDialog.
PrinterDialogs platformPrinterDialogs();

// "&Print..." and "print zone": the printer is chosen once, the layout is made for it in
// "Configure Print Layout", and on Print the workspace keeps the layout and the one page is
// printed on that same printer. Which picture is printed follows the zone selection.
void printTargetCommand(MergeWorkspace& workspace, Platform& platform, QPrinter& printer,
    const PrinterDialogs& dialogs, QWidget* parent);

// The one page: the picture (the zone or the whole target) where the workspace's print settings
// put it, by nearest pixel, origin at the printable area's top-left corner. Without a picture
// the page is blank. False, after a message, when the printer cannot be used or the job failed.
bool printTargetPage(const MergeWorkspace& workspace, Platform& platform, QPrinter& printer);

} // namespace tessary
