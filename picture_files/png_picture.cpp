// The PNG writer: pixel rows made one at a time from the rows of cells and
// handed to libpng as they are made, so that no image is ever held whole.
#include <png.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "maze.h"
#include "picture_writers.h"

namespace {

// Palette entries, two bits a pixel.
constexpr std::uint8_t WHITE = 0;
constexpr std::uint8_t BLACK = 1;
constexpr std::uint8_t RED = 2;
constexpr int bitsPerPixel = 2;

void writeToFile(png_structp png, png_bytep data, png_size_t size)
{
    static_cast<OutputFile*>(png_get_io_ptr(png))->write(data, size);
}

void flushNothing(png_structp) {}

// libpng's own failures (memory, an image it cannot describe) end the run here
// rather than through its longjmp.
[[noreturn]] void onPngError(png_structp png, png_const_charp message)
{
    static_cast<OutputFile*>(png_get_error_ptr(png))->fail(std::string("libpng: ") + message);
}

void onPngWarning(png_structp, png_const_charp) {}

// Where things fall in pixels. Grid line k (k from 0 to W or H) lies at pixel
// (k + 1) * cellSize, the first cell of margin before it, and is thickness
// pixels thick, centred there; a cell's centre is half a cell further on.
class PixelLayout {
public:
    PixelLayout(int cellSize) : cell(cellSize), thickness(lineThickness(cellSize)) {}

    long long lineStart(long long k) const { return (k + 1) * cell - thickness / 2; }
    long long centreStart(long long x) const { return (x + 1) * cell + cell / 2 - thickness / 2; }

    const long long cell;
    const long long thickness;
};

// One pixel row: a palette index a byte while it is painted, packed to two
// bits a pixel, leftmost pixel in the highest bits, for libpng.
class PixelRow {
public:
    explicit PixelRow(long long width) : pixels(static_cast<std::size_t>(width)), packed((width * bitsPerPixel + 7) / 8) {}

    void clear() { std::fill(pixels.begin(), pixels.end(), WHITE); }

    // Pixels from to to - 1.
    void paint(long long from, long long to, std::uint8_t colour)
    {
        std::fill(pixels.begin() + from, pixels.begin() + to, colour);
    }

    png_bytep pack()
    {
        std::fill(packed.begin(), packed.end(), 0);
        for (std::size_t i = 0; i < pixels.size(); ++i)
            packed[i / 4] |= static_cast<png_byte>(pixels[i] << (6 - 2 * (i % 4)));
        return packed.data();
    }

private:
    std::vector<std::uint8_t> pixels;
    std::vector<png_byte> packed;
};

// What one pixel row shows: which horizontal grid line crosses it, which rows
// of cells' vertical lines, and which parts of the solution line. Rows that
// show the same are the same bytes.
struct RowContent {
    long long horizontalLine = -1;           // grid line k, or -1
    long long verticalRows[2] = {-1, -1};    // rows of cells whose vertical lines cross it
    long long redAcross = -1;                // row of cells whose centre line it is, or -1
    long long redDownRows[2] = {-1, -1};     // rows y whose steps down to y + 1 cross it

    bool operator==(const RowContent& other) const
    {
        return horizontalLine == other.horizontalLine && verticalRows[0] == other.verticalRows[0] &&
               verticalRows[1] == other.verticalRows[1] && redAcross == other.redAcross &&
               redDownRows[0] == other.redDownRows[0] && redDownRows[1] == other.redDownRows[1];
    }
};

// The grid line at or above a pixel row: the last rows of cells the row needs are it and the one before.
long long gridLineAtOrAbove(long long pixelRow, const PixelLayout& layout)
{
    return (pixelRow + layout.thickness / 2) / layout.cell - 1;
}

RowContent contentOf(long long pixelRow, const PixelLayout& layout, bool withSolution)
{
    const long long height = mazeHeight;
    const long long cell = layout.cell;
    const long long thickness = layout.thickness;
    RowContent content;
    const long long k = gridLineAtOrAbove(pixelRow, layout);
    const long long intoLine = (pixelRow + thickness / 2) % cell;
    if (intoLine < thickness && k >= 0 && k <= height) {
        content.horizontalLine = k;
        // A vertical line from (x, y) to (x, y + 1) runs through both its
        // ends' horizontal lines, so that corners close.
        if (k - 1 >= 0 && k - 1 < height)
            content.verticalRows[0] = k - 1;
    }
    if (k >= 0 && k < height)
        content.verticalRows[1] = k;

    // The centre line of the row of cells y at or above this pixel row: a step
    // down from y starts on it, and one from y - 1 ends on it.
    const long long centreOffset = cell / 2 - thickness / 2;
    if (withSolution && pixelRow >= centreOffset) {
        const long long y = (pixelRow - centreOffset) / cell - 1;
        const bool onCentreLine = (pixelRow - centreOffset) % cell < thickness;
        if (y >= 0 && y < height) {
            if (onCentreLine) {
                content.redAcross = y;
                if (y >= 1)
                    content.redDownRows[0] = y - 1;
            }
            if (y + 1 < height)
                content.redDownRows[1] = y;
        }
    }
    return content;
}

void paintRow(PixelRow& row, const RowContent& content, const PixelLayout& layout, const StandingLines& lines,
              const std::vector<bool>& onPath)
{
    const int width = mazeWidth;
    row.clear();
    if (content.horizontalLine >= 0) {
        const int k = static_cast<int>(content.horizontalLine);
        for (int x = 0; x < width; ++x) {
            if (lines.horizontal(k, x))
                row.paint(layout.lineStart(x), layout.lineStart(x + 1) + layout.thickness, BLACK);
        }
    }
    for (long long y : content.verticalRows) {
        if (y < 0)
            continue;
        for (int k = 0; k <= width; ++k) {
            if (lines.vertical(static_cast<int>(y), k))
                row.paint(layout.lineStart(k), layout.lineStart(k) + layout.thickness, BLACK);
        }
    }
    auto isOnPath = [&](long long x, long long y) { return onPath[static_cast<std::size_t>(x + y * width)]; };
    if (content.redAcross >= 0) {
        const long long y = content.redAcross;
        for (int x = 0; x + 1 < width; ++x) {
            if (isOnPath(x, y) && isOnPath(x + 1, y) && lines.joinedRight(static_cast<int>(y), x))
                row.paint(layout.centreStart(x), layout.centreStart(x + 1) + layout.thickness, RED);
        }
    }
    for (long long y : content.redDownRows) {
        if (y < 0)
            continue;
        for (int x = 0; x < width; ++x) {
            if (isOnPath(x, y) && isOnPath(x, y + 1) && lines.joinedBelow(static_cast<int>(y), x))
                row.paint(layout.centreStart(x), layout.centreStart(x) + layout.thickness, RED);
        }
    }
}

bool isAscii(const std::string& text)
{
    return std::all_of(text.begin(), text.end(), [](char character) { return (character & 0x80) == 0; });
}

// Text that is all ASCII goes into tEXt chunks, which hold Latin-1; other
// text (the UTF-8 of a program's name) into iTXt chunks, which hold UTF-8.
void addText(png_structp png, png_infop info, const PictureText& text)
{
    png_text entries[3] = {};
    const char* keys[] = {"Title", "Description", "Software"};
    const std::string* values[] = {&text.title, &text.description, &text.software};
    for (int i = 0; i < 3; ++i) {
        entries[i].compression = isAscii(*values[i]) ? PNG_TEXT_COMPRESSION_NONE : PNG_ITXT_COMPRESSION_NONE;
        entries[i].key = const_cast<png_charp>(keys[i]);
        entries[i].text = const_cast<png_charp>(values[i]->c_str());
        entries[i].text_length = values[i]->size();
    }
    png_set_text(png, info, entries, 3);
}

}  // namespace

void writePngPicture(OutputFile& file, const PictureRequest& request, const PictureText& text,
                     const SolutionPath& solution)
{
    const PixelLayout layout(request.cellSize);
    const long long width = (static_cast<long long>(mazeWidth) + 2) * layout.cell;
    const long long height = (static_cast<long long>(mazeHeight) + 2) * layout.cell;

    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &file, onPngError, onPngWarning);
    if (png == nullptr)
        file.fail("libpng could not start");
    png_infop info = png_create_info_struct(png);
    if (info == nullptr)
        file.fail("libpng could not start");
    png_set_write_fn(png, &file, writeToFile, flushNothing);
    // libpng refuses images over a million pixels a side unless told otherwise.
    png_set_user_limits(png, 0x7fffffff, 0x7fffffff);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), bitsPerPixel,
                 PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_color palette[3] = {{255, 255, 255}, {0, 0, 0}, {255, 0, 0}};
    png_set_PLTE(png, info, palette, 3);
    addText(png, info, text);
    // Filters do not pay on a palette image; the fastest compression keeps
    // saving quicker than carving and still packs runs of white well.
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_compression_level(png, 1);
    png_write_info(png, info);

    const bool withSolution = solution.cells != nullptr;
    const std::vector<bool> onPath = withSolution ? cellsOnPath(solution) : std::vector<bool>();
    StandingLines lines;
    PixelRow row(width);
    RowContent shown;
    png_bytep packed = nullptr;
    for (long long pixelRow = 0; pixelRow < height; ++pixelRow) {
        const RowContent content = contentOf(pixelRow, layout, withSolution);
        const long long lastRowNeeded = std::min<long long>(gridLineAtOrAbove(pixelRow, layout), mazeHeight - 1);
        if (lastRowNeeded >= 0)
            lines.advanceTo(static_cast<int>(lastRowNeeded));
        if (packed == nullptr || !(content == shown)) {
            paintRow(row, content, layout, lines, onPath);
            packed = row.pack();
            shown = content;
        }
        png_write_row(png, packed);
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
}
