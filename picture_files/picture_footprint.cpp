#include "picture_footprint.h"

#include "picture_writers.h"
#include "solution.h"

namespace {

constexpr unsigned long long mebibyte = 1ull << 20;
constexpr unsigned long long largestPngSide = 0x7fffffffull;

// Measured at the largest sizes saved (see docs/memory.md); each figure is
// above the peak seen less the same run without saving.
// Every writer: the file's buffer, libpng's or cairo's own state and code pages.
constexpr unsigned long long writerBase = 1 * mebibyte;
// PDF: cairo records the maze's lines (about half a run of walls a cell) and
// builds the form that holds them before it writes them out: 15 to 16 bytes a
// cell measured at 2000 x 2000 and 4000 x 4000.
constexpr unsigned long long pdfBytesPerCell = 24;
// cairo writes the form that holds the maze's lines, compressed, into a block
// of memory it grows up to 2^31 - 1 bytes, and fails past that; the form
// compresses to 2.9 bytes a cell (2000 x 2000, 11.6 MB), so half a billion
// cells keeps a margin of a third.
constexpr unsigned long long largestPdfCells = 1ull << 29;

unsigned long long side(int cells, int cellSize)
{
    return (static_cast<unsigned long long>(cells > 0 ? cells : 0) + 2) * static_cast<unsigned long long>(cellSize);
}

}  // namespace

unsigned long long pictureSavingBytes(int width, int height, const PictureRequest& request)
{
    const unsigned long long columns = width > 0 ? static_cast<unsigned long long>(width) : 0;
    const unsigned long long rows = height > 0 ? static_cast<unsigned long long>(height) : 0;
    const unsigned long long cells = columns * rows;
    switch (request.format) {
    case PictureFormat::PNG:
        return writerBase + pngWriterBytes(static_cast<long long>(side(width, request.cellSize)),
                                           static_cast<long long>(side(height, request.cellSize)),
                                           request.withSolution ? static_cast<long long>(solutionMovesBound(width, height)) : -1,
                                           static_cast<long long>(rows));
    case PictureFormat::SVG:
        return writerBase;
    case PictureFormat::PDF:
        return writerBase + cells * pdfBytesPerCell;
    }
    return writerBase;
}

bool pictureFitsFormat(int width, int height, const PictureRequest& request, std::string& problem)
{
    const unsigned long long cells = static_cast<unsigned long long>(width > 0 ? width : 0) *
                                     static_cast<unsigned long long>(height > 0 ? height : 0);
    if (request.format == PictureFormat::PDF && cells > largestPdfCells) {
        problem = "cairo holds the drawing of a PDF's page, compressed, in one block of at most 2 GiB, "
                  "which a maze of more than " + std::to_string(largestPdfCells) + " cells would outgrow";
        return false;
    }
    if (request.format != PictureFormat::PNG)
        return true;
    if (side(width, request.cellSize) <= largestPngSide && side(height, request.cellSize) <= largestPngSide)
        return true;
    problem = "at " + std::to_string(request.cellSize) + " pixels a cell the picture would be wider or taller than "
              "the 2147483647 pixels a PNG can hold";
    return false;
}
