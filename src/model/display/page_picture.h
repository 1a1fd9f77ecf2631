// The picture of one page in memory: the bitmap exactly as read from its
// file, the picture buffer that is shown and drawn into, and the palette in
// use. The window level wraps this model (it shows the buffer and lays the
// view out); all pixel and file work happens here.
//
// `PagePicture` follows the plain image view's rules (the bitmap's own
// palette, silent load failures). `ColouringPagePicture` follows the colouring
// view's: the thirty-colour palettes, the failure messages and LoadPage.
#pragma once

#include "model/display/dib.h"
#include "model/log_palette.h"
#include "model/pixel_buffer.h"

#include <functional>
#include <optional>
#include <string>

class CVolDoc;
class HostPaths;
class IDialogs;

class PagePicture {
public:
    // `paths` resolves stored names; both are borrowed and must outlive this.
    explicit PagePicture(const HostPaths& paths);
    virtual ~PagePicture() = default;
    PagePicture(const PagePicture&) = delete;
    PagePicture& operator=(const PagePicture&) = delete;

    // Loads a picture file (a stored name). 1 on success, 0 on failure. The
    // old picture is freed first. An empty name leaves no picture and counts
    // as success. A name with no file reports the error and leaves the current
    // file name empty; a file that is no readable bitmap reports it and keeps
    // the name.
    virtual int LoadPicture(const std::string& name);
    // LoadPicture without reporting a failure (the caller reports it with
    // ReportPictureError once it has shown the empty view). The new picture
    // is decoded straight into the buffer of the old one when both have the
    // same size; the buffer's address never changes, but its pixels are
    // undefined while this runs.
    int ReadPicture(const std::string& name);

    // Writes the picture buffer as an uncompressed 8-bit bitmap whose colour
    // table is the palette in use (a palette without entries: one built from
    // the picture's own colours). An empty name means the current file name.
    // 1 when the file was written, else 0 (nothing loaded, a name that cannot
    // be resolved, or a failed write, which leaves any old file whole).
    int SavePicture(const std::string& name);

    // Releases the bitmap, the buffer and the own palette. Width, height and
    // the current file name stay.
    void FreePicture();

    // Tells the user that a picture cannot be loaded. Silent here.
    virtual void ReportPictureError(const std::string& name);

    // The palette for the current bitmap: its own palette here, built once per
    // picture. Null when no bitmap is loaded.
    virtual const LogPalette* GetPicturePalette();

    bool HasPicture() const { return m_bitmap != nullptr; }
    const std::string& CurrentFileName() const { return m_currentFile; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    PixelBuffer& Buffer() { return m_buffer; }
    const PixelBuffer& Buffer() const { return m_buffer; }
    const Dib* Bitmap() const { return m_bitmap.get(); }
    const LogPalette* PaletteInUse() const { return m_paletteInUse; }

protected:
    const LogPalette& OwnPalette();
    const HostPaths& Paths() const { return m_paths; }

private:
    const HostPaths& m_paths;
    std::string m_currentFile;
    DibHandle m_bitmap;
    PixelBuffer m_buffer;
    const LogPalette* m_paletteInUse = nullptr;
    std::optional<LogPalette> m_ownPalette;
    int m_width = 0;
    int m_height = 0;
};

class ColouringPagePicture : public PagePicture {
public:
    ColouringPagePicture(const HostPaths& paths, IDialogs& dialogs);

    // The file page n shows: its picture entry; when the volume allows
    // colouring and that file is missing, the page's original instead.
    std::string PageFile(const CVolDoc& doc, int n) const;
    // LoadPicture of that file.
    int LoadPage(const CVolDoc& doc, int n) { return LoadPicture(PageFile(doc, n)); }

    // "Cannot find file: ..." when no file of that name exists, otherwise
    // "<name>\nUnsupported picture file type.", as an exclamation message.
    void ReportPictureError(const std::string& name) override;

    // Pictures of 4 bits or fewer use the working thirty-colour palette. An
    // 8-bit picture uses its own palette followed by the paint colours it
    // lacks, as many as fit in 256 entries (WithPaintColours), so a painted
    // colour is saved exactly unless the picture's table was already full;
    // a picture without a colour table uses its own, empty, palette. Working
    // entries 16..29 are moved to the nearest colours of the palette in use
    // (entries 0..15 never change). The working palette is reset from the
    // pristine one first and handed to the palette-window hook.
    const LogPalette* GetPicturePalette() override;

    const LogPalette& PristinePalette() const { return m_pristine; }
    const LogPalette& WorkingPalette() const { return m_working; }

    // Called with the working palette whenever it is recomputed (the palette
    // window paints its wells from it).
    void SetPaletteHook(std::function<void(const LogPalette&)> hook) { m_hook = std::move(hook); }

private:
    IDialogs& m_dialogs;
    LogPalette m_pristine;
    LogPalette m_working;
    LogPalette m_withPaint; // an 8-bit picture's palette in use
    std::function<void(const LogPalette&)> m_hook;
};
