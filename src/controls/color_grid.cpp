#include "controls/color_grid.h"

#include "model/controls/color_table.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace {

// The colour of the bar the grid sits on: it shows where no well is painted.
const QColor kButtonFace(192, 192, 192);
const QColor kWhite(255, 255, 255);
const QColor kLightGrey(192, 192, 192);
const QColor kDarkGrey(128, 128, 128);
const QColor kBlack(0, 0, 0);

int Sign(int v) {
    return (v > 0) - (v < 0);
}

// A one-pixel line along a row or a column: the start pixel is drawn, the end
// pixel is not, so lines can be chained end to start.
void Line(QPainter& painter, QPoint from, QPoint to, const QColor& colour) {
    if (from == to)
        return;
    QPoint last = to - QPoint(Sign(to.x() - from.x()), Sign(to.y() - from.y()));
    painter.fillRect(QRect(from, last).normalized(), colour);
}

unsigned MouseKeyFlags(const QMouseEvent& event) {
    unsigned flags = 0;
    Qt::MouseButtons buttons = event.buttons();
    Qt::KeyboardModifiers modifiers = event.modifiers();
    if (buttons & Qt::LeftButton)
        flags |= kMouseLeftButton;
    if (buttons & Qt::RightButton)
        flags |= kMouseRightButton;
    if (buttons & Qt::MiddleButton)
        flags |= kMouseMiddleButton;
    if (modifiers & Qt::ShiftModifier)
        flags |= kMouseShift;
    if (modifiers & Qt::ControlModifier)
        flags |= kMouseControl;
    return flags;
}

} // namespace

CColorGrid::CColorGrid(const ColorGridLayout& layout, QWidget* parent)
    : CWnd(parent), m_nCurrentIndex(layout.currentIndex),
      m_nPaletteIndexOffset(layout.paletteIndexOffset), m_nCellsPerColumn(layout.cellsPerColumn),
      m_nColumns(layout.columns), m_nCellHeight(layout.cellHeight), m_nCellWidth(layout.cellWidth) {
    // Every pixel is painted by paintEvent, the strip no well covers included.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

int CColorGrid::CellCount() const {
    return m_nCellsPerColumn * m_nColumns;
}

QRect CColorGrid::GetCellRect(int index) const {
    if (m_nCellsPerColumn <= 0)
        return {};
    int column = index / m_nCellsPerColumn;
    int row = index % m_nCellsPerColumn;
    return QRect(m_nCellWidth * column, m_nCellHeight * row, m_nCellWidth, m_nCellHeight);
}

void CColorGrid::SetPalette(const LogPalette& palette) {
    if (m_palette && m_palette->entries == palette.entries)
        return;
    m_palette = palette;
    // Nothing else tells the grid that the colours changed, so it shows them
    // at the next paint rather than when it happens to be uncovered.
    update();
}

const LogPalette* CColorGrid::GetPalette() const {
    return m_palette ? &*m_palette : nullptr;
}

QSize CColorGrid::sizeHint() const {
    return QSize(m_nColumns * m_nCellWidth + 1, m_nCellsPerColumn * m_nCellHeight + 1);
}

int CColorGrid::CellAt(const QPoint& point) const {
    // The one-pixel strip right of the last column and below the last row
    // belongs to no cell.
    if (point.x() < 0 || point.y() < 0 || point.x() >= m_nColumns * m_nCellWidth ||
        point.y() >= m_nCellsPerColumn * m_nCellHeight)
        return -1;
    return m_nCellsPerColumn * (point.x() / m_nCellWidth) + point.y() / m_nCellHeight;
}

QRect CColorGrid::RepaintRect(int index) const {
    // The cell's bevel from its second column on, the selection mark that
    // reaches two pixels into the cell to the right and one row into the cell
    // below: left + 1 .. right + 2, top .. bottom + 1, all inclusive.
    QRect cell = GetCellRect(index);
    return QRect(QPoint(cell.left() + 1, cell.top()), QPoint(cell.right() + 2, cell.bottom() + 1));
}

QColor CColorGrid::EntryColour(int entry) const {
    if (m_palette && entry >= 0 && entry < static_cast<int>(m_palette->entries.size())) {
        const PaletteEntry& e = m_palette->entries[static_cast<std::size_t>(entry)];
        return QColor(e.peRed, e.peGreen, e.peBlue);
    }
    // No palette yet (or one too short): the colours the table starts with.
    if (IsValidColorIndex(entry)) {
        Pixel p = ColorTablePixel(entry);
        return QColor(PixelRed(p), PixelGreen(p), PixelBlue(p));
    }
    return kBlack;
}

void CColorGrid::PaintCell(QPainter& painter, int index) const {
    QRect cell = GetCellRect(index);
    int l = cell.left();
    int t = cell.top();
    int r = cell.right();
    int b = cell.bottom();
    // The colour: (l + 2, t + 1) up to, not including, (r, b - 1).
    painter.fillRect(QRect(QPoint(l + 2, t + 1), QPoint(r - 1, b - 2)),
                     EntryColour(m_nPaletteIndexOffset + index));
    // Sunken bevel: white outside left and bottom, dark grey and black along
    // the inner top and left, light grey along the inner bottom and right.
    Line(painter, {l, t}, {l, b}, kWhite);
    Line(painter, {l, b}, {r + 1, b}, kWhite);
    if (index / m_nCellsPerColumn == m_nColumns - 1)
        Line(painter, {r + 1, t}, {r + 1, b + 1}, kWhite);
    Line(painter, {l + 1, t}, {l + 1, b}, kDarkGrey);
    Line(painter, {l + 2, t}, {r + 1, t}, kDarkGrey);
    Line(painter, {l + 2, b - 1}, {r, b - 1}, kLightGrey);
    Line(painter, {r, b - 1}, {r, t + 1}, kLightGrey);
    Line(painter, {l + 2, t + 1}, {l + 2, b - 1}, kBlack);
    Line(painter, {l + 3, t + 1}, {r, t + 1}, kBlack);
}

void CColorGrid::PaintSelectionMark(QPainter& painter) const {
    if (m_nCurrentIndex < 0 || m_nCurrentIndex >= CellCount())
        return;
    // The mark is the outline of the rectangle left = cell left + 2, top =
    // cell top + 1, right = left + cell width - 1, bottom = top + cell height
    // - 1, drawn with a 2-pixel pen centred on its edges: each side covers
    // the pixel of its edge and the one before it (the smaller coordinate),
    // so the outline spans left - 1 .. right, top - 1 .. bottom, exactly
    // RepaintRect. The four sides are filled as disjoint bands so
    // that no corner pixel is inverted twice. Inverting keeps the mark
    // visible on every colour.
    QRect outer = RepaintRect(m_nCurrentIndex);
    QRect inner = outer.adjusted(2, 2, -2, -2);
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.fillRect(QRect(outer.left(), outer.top(), outer.width(), 2), kWhite);
    painter.fillRect(QRect(outer.left(), inner.bottom() + 1, outer.width(), 2), kWhite);
    painter.fillRect(QRect(outer.left(), inner.top(), 2, inner.height()), kWhite);
    painter.fillRect(QRect(inner.right() + 1, inner.top(), 2, inner.height()), kWhite);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void CColorGrid::paintEvent(QPaintEvent* /*event*/) {
    // Qt clips the painting to the region waiting for repaint: after a
    // selection change, the two wells it marked.
    QPainter painter(this);
    painter.fillRect(rect(), kButtonFace);
    for (int i = 0; i < CellCount(); ++i)
        PaintCell(painter, i);
    PaintSelectionMark(painter);
}

void CColorGrid::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        CWnd::mousePressEvent(event);
        return;
    }
    QPoint point = event->position().toPoint();
    int index = CellAt(point);
    if (index >= 0 && index != m_nCurrentIndex) {
        // Only the two wells whose mark changes are painted again.
        if (m_nCurrentIndex >= 0 && m_nCurrentIndex < CellCount())
            update(RepaintRect(m_nCurrentIndex));
        update(RepaintRect(index));
        m_nCurrentIndex = index;
        OnSelectColor(index);
    }
    OnGridClick(MouseKeyFlags(*event), point);
}
