// Printing the current page: the picture as read from its file, on one sheet
// of the default printer, enlarged by a whole factor and centred, with no
// print dialog unless no printer is set up at all.
#pragma once

#include <QPrinterInfo>

#include <functional>

class IDialogs;
class IEffectSounds;
class IWaitCursor;
class PagePicture;
class QPainter;
struct RunningState;

// Draws the page's bitmap as read from its file (never the picture buffer,
// which may hold strokes not yet saved) onto the painter's device, into the
// rectangle PrintLayout gives for the device's paint area in device pixels.
// The bitmap goes to the device at its own size and the device scales it,
// losslessly and without smoothing, so each picture pixel prints as a sharp
// block. Returns false, drawing nothing, when no bitmap is loaded or the
// device has no area.
bool DrawPrintedPage(QPainter& painter, const PagePicture& picture);

class CPagePrinter {
public:
    // `dialogs` is borrowed and must outlive the printer.
    explicit CPagePrinter(IDialogs& dialogs);

    // The main window's print command: nothing when the picture shows no
    // file. Otherwise the wait cursor is shown while the "PRINTER" effect
    // plays to its end (silent while the page sound plays), then Print runs
    // on the current page. `cursor` may be null.
    void OnFilePrint(const PagePicture& picture, const RunningState& state, IEffectSounds& sounds,
                     IWaitCursor* cursor);

    // Prints the picture on one sheet, without a dialog, on the printer the
    // lookup gives. Only when there is none does the print dialog appear
    // (through IDialogs; it offers a PDF file), and Cancel there prints
    // nothing. A job that cannot start or finish shows IDS_CANNOT_PRINT as an
    // exclamation message. `page` names the job. Returns true when the sheet
    // was handed to the printer; false, printing nothing and asking nothing,
    // when no bitmap is loaded.
    bool Print(const PagePicture& picture, int page);

    // Which printer a job goes to: a null QPrinterInfo means none is set up.
    // By default the system's default printer, else the first one set up.
    using PrinterLookup = std::function<QPrinterInfo()>;
    void SetPrinterLookup(PrinterLookup lookup) { m_lookup = std::move(lookup); }

private:
    IDialogs& m_dialogs;
    PrinterLookup m_lookup;
};
