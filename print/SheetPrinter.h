// The printer and its dialogs. They need QtPrintSupport, which the desktop program loads only
// with its first print command: the printer lives in the module kvprintsupport and is reached
// through this interface (ui/Modules.h). The module shows no box of its own and knows nothing
// of the form: the program hands it the page to draw and the way to tell the user.
#pragma once

#include <QString>
#include <functional>

class QPainter;
class QRect;
class QWidget;

class ISheetPrinter {
public:
    // Draws the page into area (device pixels; its top-left corner is the page's origin) of
    // a device with the given resolution.
    using DrawPage = std::function<void(QPainter& painter, const QRect& area, int dpiX, int dpiY)>;
    // Tells the user, over parent, why nothing was printed.
    using Report = std::function<void(QWidget* parent, const QString& text)>;
    // Sizes and places a dialog of the module inside the screen, over `over`: the program's
    // FitToScreen (ScreenFit.h), which the module does not link.
    using Fit = std::function<void(QWidget* window, QWidget* over)>;

    virtual ~ISheetPrinter() = default;

    // The print dialog (one page), then the page.
    virtual void Print(const DrawPage& draw, QWidget* parent) = 0;
    // The page on the printer chosen so far (the system's default at first), or on
    // printerName when one is given. False, after a report, when nothing was printed.
    virtual bool PrintDirect(const DrawPage& draw, QWidget* parent, const QString& printerName) = 0;
    // The page in the preview window, printable from there.
    virtual void Preview(const DrawPage& draw, QWidget* parent) = 0;
    // Paper and orientation of the printer.
    virtual void Setup(QWidget* parent) = 0;
};

// The name of the sheet's print job and of its PDF.
inline constexpr char kSheetDocumentName[] = "The Radio Settings";

inline constexpr char kPrintSupportModule[] = "kvprintsupport";
inline constexpr char kNewSheetPrinterFunction[] = "kvprog_NewSheetPrinter";

// A printer of its own for the object's life, so that what its dialogs choose stays chosen.
extern "C" ISheetPrinter* kvprog_NewSheetPrinter(ISheetPrinter::Report report,
                                                 ISheetPrinter::Fit fit);
using NewSheetPrinterFunction = decltype(&kvprog_NewSheetPrinter);
