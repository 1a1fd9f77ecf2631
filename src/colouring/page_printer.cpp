#include "colouring/page_printer.h"

#include "model/dialogs.h"
#include "model/display/dib.h"
#include "model/display/page_picture.h"
#include "model/display/print_layout.h"
#include "model/effect_sounds.h"
#include "model/mainframe/running_state.h"
#include "model/resources/string_table.h"
#include "model/wait_cursor.h"

#include <QImage>
#include <QPainter>
#include <QPrinter>

#include <memory>
#include <string>

namespace {

// The buffer as an opaque image of its own size. The buffer's unused top
// byte becomes 0xFF, which the image format requires.
QImage ToImage(const PixelBuffer& pixels) {
    QImage image(pixels.Width(), pixels.Height(), QImage::Format_RGB32);
    for (int y = 0; y < pixels.Height(); ++y) {
        auto* line = reinterpret_cast<Pixel*>(image.scanLine(y));
        const Pixel* row = pixels.Row(y);
        for (int x = 0; x < pixels.Width(); ++x)
            line[x] = row[x] | 0xFF000000u;
    }
    return image;
}

QPrinterInfo DefaultOrFirstPrinter() {
    QPrinterInfo printer = QPrinterInfo::defaultPrinter();
    if (printer.isNull()) {
        const QList<QPrinterInfo> all = QPrinterInfo::availablePrinters();
        if (!all.isEmpty())
            printer = all.front();
    }
    return printer;
}

} // namespace

bool DrawPrintedPage(QPainter& painter, const PagePicture& picture) {
    const Dib* bitmap = picture.Bitmap();
    const QPaintDevice* device = painter.device();
    if (!bitmap || !device)
        return false;
    const PixelBuffer pixels = DIBToBitmap(*bitmap);
    const PixelRect target =
        PrintLayout(pixels.Width(), pixels.Height(), device->width(), device->height());
    if (target.IsEmpty())
        return false;
    painter.save();
    // The device does the enlarging: a copy scaled here would be as large as
    // the sheet at printer resolution and blurred by any smoothing, and a
    // lossy encoding would smear the outlines a child colours up to.
    painter.setRenderHint(QPainter::LosslessImageRendering, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(QRect(target.left, target.top, target.Width(), target.Height()),
                      ToImage(pixels));
    painter.restore();
    return true;
}

CPagePrinter::CPagePrinter(IDialogs& dialogs)
    : m_dialogs(dialogs), m_lookup(DefaultOrFirstPrinter) {}

void CPagePrinter::OnFilePrint(const PagePicture& picture, const RunningState& state,
                               IEffectSounds& sounds, IWaitCursor* cursor) {
    if (picture.CurrentFileName().empty())
        return;
    {
        WaitCursorScope wait(cursor);
        if (!state.m_bSoundPlaying)
            sounds.PlayEffect("PRINTER");
    }
    Print(picture, state.m_nCurPage);
}

bool CPagePrinter::Print(const PagePicture& picture, int page) {
    // A file that is not a readable bitmap keeps its name but loads nothing:
    // there is nothing to put on paper, and a blank sheet helps nobody.
    if (!picture.HasPicture())
        return false;
    const QPrinterInfo info = m_lookup ? m_lookup() : QPrinterInfo();
    std::unique_ptr<QPrinter> printer;
    if (!info.isNull()) {
        printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    } else {
        // With no printer set up, the dialog is the only way to a sheet; it
        // opens on a PDF file, which needs no printer.
        printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
    }
    // The job's name, which the dialog also offers as the PDF file's name.
    printer->setDocName(QString::fromStdString(std::string(LoadString(IDS_APP_TITLE)) + " - page " +
                                               std::to_string(page)));
    if (info.isNull() && !m_dialogs.PrintDialog(*printer))
        return false;
    QPainter painter;
    bool printed = printer->isValid() && painter.begin(printer.get());
    if (printed) {
        DrawPrintedPage(painter, picture);
        // Ending the job sends the sheet; a printer that fails then has not
        // printed it either.
        printed = painter.end();
    }
    if (!printed)
        m_dialogs.MessageBox(std::string(LoadString(IDS_CANNOT_PRINT)), MessageIcon::Exclamation);
    return printed;
}
