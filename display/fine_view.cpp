#include "fine_view.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <system_error>
#include <thread>
#include <vector>

#include "drawn_walls.h"
#include "zeroed_array.h"

namespace {

// A window pixel's left edge, and how much wall lies left of it on a band of
// the maze, in cells of width: every grid line is a strip lineWidth wide about
// its place, every cell the strip between two of them.
// - Along a band of vertical lines: the strips of the lines before line
//   `line`, plus lineShare of its own strip, each lineWidth wide.
// - Along a band of horizontal lines: the grid corners before corner `line`
//   plus lineShare of its own (lineWidth wide each), and the horizontal lines
//   before line `line` plus cellShare of its own (the width of a cell strip each).
struct PixelEdge {
    int line;
    double lineShare;
    double cellShare;
};

struct ViewGeometry;

// Adds to covered what lies left of each pixel edge along one band of a row of
// the planes, times the band's weight.
using AddBand = void (*)(const ViewGeometry&, const std::uint64_t*, bool, double, std::vector<int>&,
                         std::vector<double>&);
AddBand fastestAddBand();

// Everything about a view that does not depend on the row being computed.
struct ViewGeometry {
    int windowWidth;
    int windowHeight;
    double lineWidth;      // strips of vertical lines, in cells
    double lineHeight;     // strips of horizontal lines, in cells
    double top;            // the world y of the window's top edge
    double cellsPerRow;    // a window pixel's height, in cells
    double pixelArea;      // in cells
    int height;            // H: grid lines 0 .. H, cell rows 0 .. H - 1
    int firstWord;         // the first and last words of a plane row in view
    int lastWord;
    std::vector<PixelEdge> edges;  // windowWidth + 1, left to right
    AddBand addBand;               // chosen for the processor on the GLUT thread
};

// Where a world coordinate falls among strips of lines `lineSize` wide about
// the grid lines 0 .. last and the cell strips between them: the line whose
// strip or following cell strip holds it, and the shares of that line's strip
// and that cell's strip that lie before it.
PixelEdge edgeAt(double at, double lineSize, int last)
{
    const double fromFirstStrip = std::clamp(at + lineSize / 2, 0.0, last + lineSize);
    PixelEdge edge;
    edge.line = std::min(static_cast<int>(fromFirstStrip), last);
    const double into = fromFirstStrip - edge.line;
    edge.lineShare = into < lineSize ? into / lineSize : 1;
    edge.cellShare = into < lineSize ? 0 : (into - lineSize) / (1 - lineSize);
    return edge;
}

// Lines are drawn one pixel wide where a cell spans two pixels or more; finer,
// a line takes half of a cell, or the walls would cover every pixel.
double lineSizeFor(double pixelsPerCell)
{
    return std::min(0.5, 1 / pixelsPerCell);
}

ViewGeometry viewGeometry(const WallPlanes& planes, const ViewRectangle& shown, int windowWidth, int windowHeight)
{
    ViewGeometry geometry;
    geometry.windowWidth = windowWidth;
    geometry.windowHeight = windowHeight;
    const double cellsPerColumn = (shown.right - shown.left) / windowWidth;
    geometry.cellsPerRow = (shown.bottom - shown.top) / windowHeight;
    geometry.lineWidth = lineSizeFor(1 / cellsPerColumn);
    geometry.lineHeight = lineSizeFor(1 / geometry.cellsPerRow);
    geometry.top = shown.top;
    geometry.pixelArea = cellsPerColumn * geometry.cellsPerRow;
    geometry.height = planes.height;
    geometry.edges.resize(static_cast<std::size_t>(windowWidth) + 1);
    for (int column = 0; column <= windowWidth; ++column)
        geometry.edges[column] = edgeAt(shown.left + column * cellsPerColumn, geometry.lineWidth, planes.width);
    geometry.firstWord = geometry.edges.front().line >> 6;
    geometry.lastWord = geometry.edges.back().line >> 6;
    geometry.addBand = fastestAddBand();
    return geometry;
}

// Adds weight times how much wall lies left of each pixel edge along one band
// to covered, edge by edge.
inline __attribute__((always_inline)) void addBand(const ViewGeometry& geometry, const std::uint64_t* row, bool verticalLines, double weight,
             std::vector<int>& linesBefore, std::vector<double>& covered)
{
    // Lines drawn before each word in view, counted from the first word in
    // view: only differences between edges matter.
    int count = 0;
    for (int word = geometry.firstWord; word <= geometry.lastWord; ++word) {
        linesBefore[word - geometry.firstWord] = count;
        count += __builtin_popcountll(row[word]);
    }
    const double lineWeight = weight * geometry.lineWidth;
    const double cellWeight = weight * (1 - geometry.lineWidth);
    const int edges = geometry.windowWidth + 1;
    for (int column = 0; column < edges; ++column) {
        const PixelEdge& edge = geometry.edges[column];
        const std::uint64_t word = row[edge.line >> 6];
        const int bit = edge.line & 63;
        const int before = linesBefore[(edge.line >> 6) - geometry.firstWord] +
                           __builtin_popcountll(word & ((std::uint64_t{1} << bit) - 1));
        const double own = static_cast<double>((word >> bit) & 1);
        if (verticalLines)
            covered[column] += lineWeight * (before + edge.lineShare * own);
        else
            covered[column] += lineWeight * (edge.line + edge.lineShare) + cellWeight * (before + edge.cellShare * own);
    }
}

// The population count is most of the work: where the processor has an
// instruction for it (older x86-64 processors lack one), the same code is
// compiled with it. Chosen when called rather than when the program is
// loaded, which a thread sanitizer's runtime would not survive.
void addBandPortably(const ViewGeometry& geometry, const std::uint64_t* row, bool verticalLines, double weight,
                     std::vector<int>& linesBefore, std::vector<double>& covered)
{
    addBand(geometry, row, verticalLines, weight, linesBefore, covered);
}

#if defined(__x86_64__) && defined(__GNUC__)
__attribute__((target("popcnt"))) void addBandWithPopcount(const ViewGeometry& geometry, const std::uint64_t* row,
                                                           bool verticalLines, double weight,
                                                           std::vector<int>& linesBefore, std::vector<double>& covered)
{
    addBand(geometry, row, verticalLines, weight, linesBefore, covered);
}
#endif

AddBand fastestAddBand()
{
#if defined(__x86_64__) && defined(__GNUC__)
    __builtin_cpu_init();
    if (__builtin_cpu_supports("popcnt"))
        return addBandWithPopcount;
#endif
    return addBandPortably;
}

// Rows [firstRow, endRow) of the image, counted from the bottom.
void computeRows(const WallPlanes& planes, const ViewGeometry& geometry, int firstRow, int endRow,
                 unsigned char* pixels)
{
    const int width = geometry.windowWidth;
    const double lineHeight = geometry.lineHeight;
    const AddBand addBandToCovered = geometry.addBand;
    std::vector<int> linesBefore(static_cast<std::size_t>(geometry.lastWord - geometry.firstWord) + 1);
    std::vector<double> covered(static_cast<std::size_t>(width) + 1);
    for (int row = firstRow; row < endRow; ++row) {
        std::fill(covered.begin(), covered.end(), 0.0);
        // Row 0 is the window's bottom; the maze's rows are counted from the top.
        const int fromTop = geometry.windowHeight - 1 - row;
        const double top = geometry.top + fromTop * geometry.cellsPerRow;
        const double bottom = top + geometry.cellsPerRow;
        // The strips down the maze: horizontal lines y (band 2y) and cell rows y (band 2y + 1).
        const PixelEdge first = edgeAt(top, lineHeight, geometry.height);
        int band = 2 * first.line + (first.lineShare < 1 ? 0 : 1);
        for (; band <= 2 * geometry.height; ++band) {
            const int line = band >> 1;
            const bool cellRow = (band & 1) != 0;
            const double bandTop = cellRow ? line + lineHeight / 2 : line - lineHeight / 2;
            const double bandBottom = cellRow ? line + 1 - lineHeight / 2 : line + lineHeight / 2;
            if (bandTop >= bottom)
                break;
            const double weight = std::min(bottom, bandBottom) - std::max(top, bandTop);
            if (weight <= 0)
                continue;
            if (cellRow)
                addBandToCovered(geometry, verticalRow(planes, line), true, weight, linesBefore, covered);
            else
                addBandToCovered(geometry, horizontalRow(planes, line), false, weight, linesBefore, covered);
        }
        unsigned char* pixel = pixels + static_cast<std::size_t>(row) * width * 4;
        for (int column = 0; column < width; ++column, pixel += 4) {
            const double wall = (covered[column + 1] - covered[column]) / geometry.pixelArea;
            const long grey = std::lround(255 * std::clamp(1 - wall, 0.0, 1.0));
            pixel[0] = pixel[1] = pixel[2] = static_cast<unsigned char>(grey);
            pixel[3] = grey == 255 ? 0 : 255;
        }
    }
}

// Pixel edges times bands added per step, on both threads together: about a
// hundredth of a second on this kind of processor.
constexpr double edgeBandsPerStep = 4e6;

// The view in progress, GLUT thread only (a helper thread writes the rows it
// is given, and is joined before they are read): written by startFineView and
// computeMoreOfFineView.
struct FineViewInProgress {
    ViewGeometry geometry;
    unsigned char* pixels;  // windowWidth x windowHeight, kept from view to view
    long long pixelBytes;
    int nextRow;
    int bandRows;
};
FineViewInProgress fineView = {{}, nullptr, 0, 0, 0};

}  // namespace

bool isFineView(const ViewRectangle& shown, int windowWidth, int windowHeight)
{
    const double pixelsPerCellAcross = windowWidth / (shown.right - shown.left);
    const double pixelsPerCellDown = windowHeight / (shown.bottom - shown.top);
    return std::min(pixelsPerCellAcross, pixelsPerCellDown) < finestLinesPixelsPerCell;
}

bool isFineFullView(int mazeColumns, int mazeRows, int windowWidth, int windowHeight)
{
    return isFineView(ViewRectangle{-1, -1, mazeColumns + 1.0, mazeRows + 1.0}, windowWidth, windowHeight);
}

void computeFineViewRows(const WallPlanes& planes, const ViewRectangle& shown, int windowWidth, int windowHeight,
                         int firstRow, int endRow, unsigned char* pixels)
{
    if (windowWidth <= 0 || windowHeight <= 0)
        return;
    computeRows(planes, viewGeometry(planes, shown, windowWidth, windowHeight), firstRow, endRow, pixels);
}

bool startFineView(const ViewRectangle& shown, int windowWidth, int windowHeight)
{
    const long long bytes = 4LL * std::max(windowWidth, 0) * std::max(windowHeight, 0);
    if (bytes != fineView.pixelBytes) {
        std::free(fineView.pixels);
        fineView.pixels = allocateZeroed<unsigned char>(bytes);
        fineView.pixelBytes = fineView.pixels != nullptr ? bytes : 0;
        if (fineView.pixels == nullptr)
            return false;
    }
    fineView.geometry = viewGeometry(wallPlanes, shown, windowWidth, windowHeight);
    fineView.nextRow = 0;
    // Each pixel row adds two bands per cell it spans, and one more.
    const double bandsPerRow = 2 * fineView.geometry.cellsPerRow + 2;
    fineView.bandRows = std::max(1, static_cast<int>(edgeBandsPerStep / (bandsPerRow * (windowWidth + 1))));
    return true;
}

bool computeMoreOfFineView()
{
    const ViewGeometry& geometry = fineView.geometry;
    const int first = fineView.nextRow;
    const int end = std::min(geometry.windowHeight, first + fineView.bandRows);
    if (first >= end)
        return true;
    // The upper half of the band on a helper thread where there is a second
    // processor and the system starts one; the lower half here.
    const int middle = first + (end - first) / 2;
    std::thread helper;
    if (std::thread::hardware_concurrency() > 1 && middle > first) {
        try {
            helper = std::thread(computeRows, std::cref(wallPlanes), std::cref(geometry), middle, end, fineView.pixels);
        } catch (const std::system_error&) {
        }
    }
    computeRows(wallPlanes, geometry, first, helper.joinable() ? middle : end, fineView.pixels);
    if (helper.joinable())
        helper.join();
    fineView.nextRow = end;
    return end >= geometry.windowHeight;
}

unsigned char* fineViewPixels()
{
    return fineView.pixels;
}

long long fineViewImagePixels()
{
    return fineView.pixelBytes / 4;
}
