// A grid of sunken colour wells, one of them marked as selected, that reports
// a press on another well to its subclass.
#pragma once

#include "framework/wnd.h"
#include "model/log_palette.h"

#include <QPoint>
#include <QRect>

#include <optional>

class QMouseEvent;
class QPaintEvent;

// Bits of the mouse-key flags handed to OnGridClick.
enum MouseKeyFlag : unsigned {
    kMouseLeftButton = 0x01,
    kMouseRightButton = 0x02,
    kMouseShift = 0x04,
    kMouseControl = 0x08,
    kMouseMiddleButton = 0x10,
};

// How a grid is laid out: cell i lies in column i / cellsPerColumn and row
// i % cellsPerColumn and shows palette entry paletteIndexOffset + i.
struct ColorGridLayout {
    int currentIndex = 0; // the selected cell
    int paletteIndexOffset = 0;
    int cellsPerColumn = 0;
    int columns = 0;
    int cellHeight = 16; // pixels
    int cellWidth = 16;  // pixels
};

class CColorGrid : public CWnd {
    Q_OBJECT
public:
    // The number of cells: cells per column times columns.
    int CellCount() const;

    // The pixels of cell `index`: left = cell width x column, top = cell
    // height x row, cell width x cell height pixels (its right and bottom
    // edges are the last pixels inside it).
    QRect GetCellRect(int index) const;

    int GetCurrentIndex() const { return m_nCurrentIndex; }
    // Stores the selected cell; neither repaints nor notifies.
    void SetCurrentIndex(int index) { m_nCurrentIndex = index; }

    // Keeps a copy of `palette`; the wells are painted from its entries
    // (offset + i) from now on. Schedules a repaint when the colours differ
    // from the copy held so far. The argument may be destroyed afterwards.
    void SetPalette(const LogPalette& palette);
    // The copy last given, or null before the first SetPalette.
    const LogPalette* GetPalette() const;

    QSize sizeHint() const override;

protected:
    CColorGrid(const ColorGridLayout& layout, QWidget* parent);

    // A press selected cell `index`, which was not selected before.
    virtual void OnSelectColor(int index) = 0;
    // After every left-button press, whether or not it changed the selection.
    virtual void OnGridClick(unsigned flags, const QPoint& point) = 0;

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    // The cell under `point`, or -1 when no cell covers it.
    int CellAt(const QPoint& point) const;
    // Every pixel that painting cell `index` and its selection mark touch.
    QRect RepaintRect(int index) const;
    // The colour of palette entry `entry` as the wells show it.
    QColor EntryColour(int entry) const;
    void PaintCell(QPainter& painter, int index) const;
    void PaintSelectionMark(QPainter& painter) const;

    int m_nCurrentIndex;
    int m_nPaletteIndexOffset;
    int m_nCellsPerColumn;
    int m_nColumns;
    int m_nCellHeight;
    int m_nCellWidth;
    std::optional<LogPalette> m_palette;
};
