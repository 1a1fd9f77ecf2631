#include "model/display/page_picture.h"

#include "model/controls/color_table.h"
#include "model/dialogs.h"
#include "model/display/colour_match.h"
#include "model/display/palette_builder.h"
#include "model/resources/string_table.h"
#include "model/volume/vol_doc.h"
#include "platform/host_paths.h"

PagePicture::PagePicture(const HostPaths& paths) : m_paths(paths) {}

int PagePicture::LoadPicture(const std::string& name) {
    if (ReadPicture(name))
        return 1;
    ReportPictureError(name);
    return 0;
}

int PagePicture::ReadPicture(const std::string& name) {
    if (name.empty()) {
        FreePicture();
        // The view shows nothing now, so nothing is its current file either
        // (the colour-this-page rule reads this name).
        m_currentFile.clear();
        return 1;
    }
    m_currentFile = name;
    const std::optional<std::filesystem::path> file =
        m_paths.FileExists(name) ? m_paths.Resolve(name) : std::nullopt;
    if (!file) {
        FreePicture();
        m_currentFile.clear();
        return 0;
    }
    // The old bitmap and buffer are decoded into rather than freed: a page
    // of the same size as the one before needs no new memory.
    DibHandle bitmap = m_bitmap ? std::move(m_bitmap) : std::make_unique<Dib>();
    m_paletteInUse = nullptr;
    m_ownPalette.reset();
    if (!LoadDIBInto(*file, *bitmap, m_buffer)) {
        FreePicture();
        return 0;
    }
    m_bitmap = std::move(bitmap);
    m_width = DIBWidth(*m_bitmap);
    m_height = DIBHeight(*m_bitmap);
    m_paletteInUse = GetPicturePalette();
    return 1;
}

int PagePicture::SavePicture(const std::string& name) {
    const std::string& target = name.empty() ? m_currentFile : name;
    if (!m_bitmap || !m_paletteInUse || target.empty())
        return 0;
    std::optional<std::filesystem::path> file = m_paths.Resolve(target);
    if (!file)
        return 0;
    return SaveDIB8(m_buffer, *m_paletteInUse, *file) == DibSaveResult::Saved ? 1 : 0;
}

void PagePicture::FreePicture() {
    DestroyDIB(m_bitmap);
    m_buffer = PixelBuffer();
    m_paletteInUse = nullptr;
    m_ownPalette.reset();
}

void PagePicture::ReportPictureError(const std::string&) {}

const LogPalette& PagePicture::OwnPalette() {
    if (!m_ownPalette)
        m_ownPalette = m_bitmap ? CreateDIBPalette(*m_bitmap) : LogPalette{};
    return *m_ownPalette;
}

const LogPalette* PagePicture::GetPicturePalette() {
    return m_bitmap ? &OwnPalette() : nullptr;
}

ColouringPagePicture::ColouringPagePicture(const HostPaths& paths, IDialogs& dialogs)
    : PagePicture(paths), m_dialogs(dialogs), m_pristine(CreateColorTablePalette()),
      m_working(m_pristine) {}

std::string ColouringPagePicture::PageFile(const CVolDoc& doc, int n) const {
    std::string path = doc.GetPageFile(n, PageFileKind::Picture);
    if (!path.empty() && doc.CanColour() && !Paths().FileExists(path))
        path = doc.GetOriginalPath(n);
    return path;
}

void ColouringPagePicture::ReportPictureError(const std::string& name) {
    std::string text = Paths().FileExists(name)
                           ? FormatMessageId(IDS_UNSUPPORTED_TYPE, {name, "picture"})
                           : FormatMessageId(IDS_CANNOT_FIND_FILE, {name});
    m_dialogs.MessageBox(text, MessageIcon::Exclamation);
}

const LogPalette* ColouringPagePicture::GetPicturePalette() {
    constexpr std::size_t kFirstAdapted = 16;
    for (std::size_t i = kFirstAdapted; i < m_pristine.entries.size(); ++i)
        m_working.entries[i] = m_pristine.entries[i];
    if (m_hook)
        m_hook(m_working);
    const Dib* bitmap = Bitmap();
    if (!bitmap)
        return nullptr;
    if (bitmap->header.bitCount <= 4)
        return &m_working;
    const LogPalette& own = OwnPalette();
    if (own.entries.empty())
        return &own; // saved with the picture's own colours (SavePicture)
    m_withPaint = WithPaintColours(own);
    for (std::size_t i = kFirstAdapted; i < m_working.entries.size(); ++i) {
        const PaletteEntry& want = m_pristine.entries[i];
        int nearest =
            NearestPaletteIndex(m_withPaint, MakePixel(want.peRed, want.peGreen, want.peBlue));
        m_working.entries[i] = m_withPaint.entries[static_cast<std::size_t>(nearest)];
        m_working.entries[i].peFlags = 0;
    }
    if (m_hook)
        m_hook(m_working);
    return &m_withPaint;
}
