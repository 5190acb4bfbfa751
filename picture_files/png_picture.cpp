// The PNG writer: pixel rows made one at a time from the maze's bits and
// compressed as they are made, so that no image is ever held whole. The
// picture is cut into strips of rows, compressed apart on two processors into
// pieces of one deflate stream, and written in order.
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
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


// The solution's cells row by row, each row's columns in order, so that a
// pixel row finds the red it shows without looking at every cell.
class PathRows {
public:
    PathRows(const SolutionPath& solution, int width, int height) : rowStart(static_cast<std::size_t>(height) + 2, 0)
    {
        if (solution.cells == nullptr)
            return;
        const long long goal = static_cast<long long>(width) * height - 1;
        auto cellAt = [&](int i) { return i == solution.moves ? goal : solution.cells[i]; };
        for (int i = 0; i <= solution.moves; ++i)
            ++rowStart[static_cast<std::size_t>(cellAt(i) / width) + 1];
        for (std::size_t y = 1; y < rowStart.size(); ++y)
            rowStart[y] += rowStart[y - 1];
        columns.resize(static_cast<std::size_t>(solution.moves) + 1);
        std::vector<long long> next(rowStart.begin(), rowStart.end() - 1);
        for (int i = 0; i <= solution.moves; ++i)
            columns[static_cast<std::size_t>(next[static_cast<std::size_t>(cellAt(i) / width)]++)] =
                static_cast<int>(cellAt(i) % width);
        for (std::size_t y = 0; y + 1 < rowStart.size(); ++y)
            std::sort(columns.begin() + rowStart[y], columns.begin() + rowStart[y + 1]);
    }

    const int* begin(long long y) const { return columns.data() + rowStart[static_cast<std::size_t>(y)]; }
    const int* end(long long y) const { return columns.data() + rowStart[static_cast<std::size_t>(y) + 1]; }

    // The bytes it takes for a path of so many moves through a maze of so many rows.
    static unsigned long long bytesFor(long long moves, long long rows)
    {
        return static_cast<unsigned long long>(moves + 1) * sizeof(int) +
               static_cast<unsigned long long>(rows + 2) * sizeof(long long) * 2;
    }

private:
    std::vector<long long> rowStart;  // per row of cells, where its columns begin
    std::vector<int> columns;
};

// Makes the pixel rows: a palette index a byte while a row is painted, packed
// to two bits a pixel, leftmost pixel in the highest bits, for the file. Rows
// that show the same are the same bytes, made once.
class RowPainter {
public:
    RowPainter(const WallPlanes& planes, const PixelLayout& layout, const PathRows& path, bool withSolution,
               long long width)
        : planes(planes),
          layout(layout),
          path(path),
          withSolution(withSolution),
          pixels(static_cast<std::size_t>(width) + 8),
          packed(static_cast<std::size_t>((width * bitsPerPixel + 7) / 8) + 1),
          packedBytes(static_cast<std::size_t>((width * bitsPerPixel + 7) / 8))
    {
    }

    // Row pixelRow, its filter byte (none) first.
    const std::uint8_t* row(long long pixelRow)
    {
        const RowContent content = contentOf(pixelRow, layout, withSolution);
        if (!painted || !(content == shown)) {
            paint(content);
            pack();
            shown = content;
            painted = true;
        }
        return packed.data();
    }

    std::size_t rowBytes() const { return packedBytes + 1; }

private:
    void fill(long long from, long long to, std::uint8_t colour)
    {
        std::memset(pixels.data() + from, colour, static_cast<std::size_t>(to - from));
    }

    // Calls paintLine(k) for each set bit k of a plane row, from 0 to last.
    template <typename PaintLine>
    void forEachLine(const std::uint64_t* bits, long long last, PaintLine&& paintLine)
    {
        const long long words = last / 64 + 1;
        for (long long word = 0; word < words; ++word) {
            std::uint64_t set = bits[word];
            while (set != 0) {
                const long long k = word * 64 + __builtin_ctzll(set);
                set &= set - 1;
                if (k <= last)
                    paintLine(k);
            }
        }
    }

    void paint(const RowContent& content)
    {
        const long long width = planes.width;
        const long long thickness = layout.thickness;
        std::fill(pixels.begin(), pixels.end(), WHITE);
        if (content.horizontalLine >= 0) {
            forEachLine(horizontalRow(planes, content.horizontalLine), width - 1, [&](long long x) {
                fill(layout.lineStart(x), layout.lineStart(x + 1) + thickness, BLACK);
            });
        }
        for (long long y : content.verticalRows) {
            if (y >= 0)
                forEachLine(verticalRow(planes, y), width,
                            [&](long long k) { fill(layout.lineStart(k), layout.lineStart(k) + thickness, BLACK); });
        }
        if (content.redAcross >= 0) {
            const long long y = content.redAcross;
            const std::uint64_t* const vertical = verticalRow(planes, y);
            for (const int* x = path.begin(y); x + 1 < path.end(y); ++x) {
                if (x[1] == x[0] + 1 && !lineDrawn(vertical, x[0] + 1))
                    fill(layout.centreStart(x[0]), layout.centreStart(x[0] + 1) + thickness, RED);
            }
        }
        for (long long y : content.redDownRows) {
            if (y < 0)
                continue;
            const std::uint64_t* const below = horizontalRow(planes, y + 1);
            const int* under = path.begin(y + 1);
            for (const int* x = path.begin(y); x < path.end(y); ++x) {
                while (under < path.end(y + 1) && *under < *x)
                    ++under;
                if (under < path.end(y + 1) && *under == *x && !lineDrawn(below, *x))
                    fill(layout.centreStart(*x), layout.centreStart(*x) + thickness, RED);
            }
        }
    }

    void pack()
    {
        std::uint8_t* out = packed.data();
        *out++ = PNG_FILTER_VALUE_NONE;
        const std::uint8_t* in = pixels.data();
        for (std::size_t i = 0; i < packedBytes; ++i, in += 4)
            out[i] = static_cast<std::uint8_t>(in[0] << 6 | in[1] << 4 | in[2] << 2 | in[3]);
    }

    const WallPlanes& planes;
    const PixelLayout& layout;
    const PathRows& path;
    const bool withSolution;
    std::vector<std::uint8_t> pixels;  // the row and a few white pixels beyond it, which pack to nothing
    std::vector<std::uint8_t> packed;
    const std::size_t packedBytes;
    RowContent shown;
    bool painted = false;
};

// Pixel rows compressed into one piece of a deflate stream: raw deflate,
// restarted for each strip so that no piece refers back into another, and
// ended on a byte boundary so that the pieces join.
class StripCompressor {
public:
    StripCompressor()
    {
        stream.zalloc = Z_NULL;
        stream.zfree = Z_NULL;
        stream.opaque = Z_NULL;
        // The fastest level still packs runs of white well.
        ready = deflateInit2(&stream, 1, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) == Z_OK;
    }
    ~StripCompressor()
    {
        if (ready)
            deflateEnd(&stream);
    }

    StripCompressor(const StripCompressor&) = delete;
    StripCompressor& operator=(const StripCompressor&) = delete;

    // Compresses rows [first, end) into output; the last strip of the
    // picture ends the stream. Returns false when zlib fails.
    bool compress(RowPainter& painter, long long first, long long end, bool last, std::vector<std::uint8_t>& output)
    {
        if (!ready || deflateReset(&stream) != Z_OK)
            return false;
        output.clear();
        rawBytes = 0;
        checksum = adler32(0L, Z_NULL, 0);
        for (long long pixelRow = first; pixelRow < end; ++pixelRow) {
            const std::uint8_t* row = painter.row(pixelRow);
            checksum = adler32_z(checksum, row, painter.rowBytes());
            rawBytes += painter.rowBytes();
            const bool lastRow = pixelRow + 1 == end;
            if (!feed(row, painter.rowBytes(), lastRow ? (last ? Z_FINISH : Z_SYNC_FLUSH) : Z_NO_FLUSH, output))
                return false;
        }
        return true;
    }

    uLong adler() const { return checksum; }
    long long bytes() const { return rawBytes; }

private:
    bool feed(const std::uint8_t* data, std::size_t size, int flush, std::vector<std::uint8_t>& output)
    {
        stream.next_in = const_cast<Bytef*>(data);
        stream.avail_in = static_cast<uInt>(size);
        for (;;) {
            const std::size_t used = output.size();
            const std::size_t room = std::max<std::size_t>(size / 4 + 64, 1 << 16);
            output.resize(used + room);
            stream.next_out = output.data() + used;
            stream.avail_out = static_cast<uInt>(room);
            const int status = deflate(&stream, flush);
            output.resize(used + room - stream.avail_out);
            if (status == Z_STREAM_ERROR)
                return false;
            if (stream.avail_in == 0 && stream.avail_out != 0 && (flush != Z_FINISH || status == Z_STREAM_END))
                return true;
        }
    }

    z_stream stream{};
    bool ready = false;
    uLong checksum = 0;
    long long rawBytes = 0;
};

// Strips of about this many bytes of packed rows: large enough that the
// restarts cost nothing in size, small enough to hold a few.
constexpr long long stripBytes = 4 << 20;

// IDAT chunks of at most this many bytes.
constexpr std::size_t chunkBytes = 1 << 20;

// The compressed stream as IDAT chunks: the zlib header, the strips' pieces
// in order, and the checksum of all the rows.
class ImageDataWriter {
public:
    explicit ImageDataWriter(png_structp png) : png(png)
    {
        // Deflate with a 32 KiB window, at the fastest level.
        pending.push_back(0x78);
        pending.push_back(0x01);
    }

    void add(const std::vector<std::uint8_t>& piece, uLong pieceAdler, long long pieceBytes)
    {
        checksum = first ? pieceAdler : adler32_combine(checksum, pieceAdler, static_cast<z_off_t>(pieceBytes));
        first = false;
        pending.insert(pending.end(), piece.begin(), piece.end());
        if (pending.size() >= chunkBytes)
            writeChunks(false);
    }

    void finish()
    {
        for (int shift = 24; shift >= 0; shift -= 8)
            pending.push_back(static_cast<std::uint8_t>(checksum >> shift));
        writeChunks(true);
        png_write_chunk(png, reinterpret_cast<png_const_bytep>("IEND"), nullptr, 0);
    }

private:
    void writeChunks(bool all)
    {
        std::size_t at = 0;
        while (pending.size() - at >= chunkBytes || (all && at < pending.size())) {
            const std::size_t size = std::min(chunkBytes, pending.size() - at);
            png_write_chunk(png, reinterpret_cast<png_const_bytep>("IDAT"), pending.data() + at, size);
            at += size;
        }
        pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(at));
    }

    png_structp png;
    std::vector<std::uint8_t> pending;
    uLong checksum = 1;
    bool first = true;
};

// The strips of odd number, compressed on a second processor while the
// writer's own thread compresses the even ones and writes them all in order.
struct OddStrips {
    static constexpr int slots = 2;
    std::vector<std::uint8_t> output[slots];
    uLong adler[slots] = {};
    long long bytes[slots] = {};
    bool failed = false;
    std::mutex guard;  // guards done and written
    std::condition_variable changed;
    long long done = 0;     // odd strips compressed
    long long written = 0;  // odd strips written out
    bool abandon = false;
};

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

unsigned long long pngWriterBytes(long long pixelsAcross, long long pixelsDown, long long moves, long long rows)
{
    const unsigned long long rowPixels = static_cast<unsigned long long>(pixelsAcross);
    const unsigned long long packedRow = rowPixels / 4 + 2;
    const unsigned long long image = packedRow * static_cast<unsigned long long>(pixelsDown);
    const unsigned long long strip = std::min(std::max<unsigned long long>(stripBytes, packedRow), image) + packedRow;
    // Each thread: its row in bytes and packed, and zlib's state (a quarter
    // of a MiB at the fastest level); the strips: the even one being written
    // and two odd ones, and the chunks pending; the solution's rows.
    return 2 * (rowPixels + packedRow + 300 * 1024) + 3 * strip + std::min<unsigned long long>(chunkBytes, image) +
           (moves >= 0 ? PathRows::bytesFor(moves, rows) : 0);
}

void writePngPicture(OutputFile& file, const PictureRequest& request, const PictureText& text,
                     const SolutionPath& solution, const SaveProgress& progress)
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
    png_write_info(png, info);

    const bool withSolution = solution.cells != nullptr;
    const PathRows path(solution, mazeWidth, mazeHeight);
    const long long packedRow = (width * bitsPerPixel + 7) / 8 + 1;
    const long long stripRows = std::max(1LL, stripBytes / packedRow);
    const long long strips = (height + stripRows - 1) / stripRows;
    auto stripEnd = [&](long long strip) { return std::min(height, (strip + 1) * stripRows); };

    OddStrips odd;
    auto compressOddStrips = [&] {
        RowPainter painter(*walls, layout, path, withSolution, width);
        StripCompressor compressor;
        for (long long strip = 1; strip < strips; strip += 2) {
            const int slot = static_cast<int>(strip / 2 % OddStrips::slots);
            {
                std::unique_lock<std::mutex> lock(odd.guard);
                odd.changed.wait(lock, [&] { return odd.abandon || odd.done - odd.written < OddStrips::slots; });
                if (odd.abandon)
                    return;
            }
            const bool compressed =
                compressor.compress(painter, strip * stripRows, stripEnd(strip), strip + 1 == strips, odd.output[slot]);
            {
                const std::lock_guard<std::mutex> lock(odd.guard);
                odd.adler[slot] = compressor.adler();
                odd.bytes[slot] = compressor.bytes();
                odd.failed = odd.failed || !compressed;
                ++odd.done;
            }
            odd.changed.notify_all();
        }
    };
    std::thread helper;
    if (std::thread::hardware_concurrency() > 1 && strips > 1) {
        try {
            helper = std::thread(compressOddStrips);
        } catch (const std::system_error&) {
        }
    }
    auto stopHelper = [&] {
        if (!helper.joinable())
            return;
        {
            const std::lock_guard<std::mutex> lock(odd.guard);
            odd.abandon = true;
        }
        odd.changed.notify_all();
        helper.join();
    };

    RowPainter painter(*walls, layout, path, withSolution, width);
    StripCompressor compressor;
    ImageDataWriter imageData(png);
    std::vector<std::uint8_t> output;
    for (long long strip = 0; strip < strips; ++strip) {
        const bool last = strip + 1 == strips;
        if (strip % 2 == 0 || !helper.joinable()) {
            if (!compressor.compress(painter, strip * stripRows, stripEnd(strip), last, output)) {
                stopHelper();
                file.fail("zlib could not compress the picture");
            }
            imageData.add(output, compressor.adler(), compressor.bytes());
        } else {
            const int slot = static_cast<int>(strip / 2 % OddStrips::slots);
            bool failed = false;
            {
                std::unique_lock<std::mutex> lock(odd.guard);
                odd.changed.wait(lock, [&] { return odd.done > strip / 2; });
                failed = odd.failed;
            }
            if (failed) {
                stopHelper();
                file.fail("zlib could not compress the picture");
            }
            imageData.add(odd.output[slot], odd.adler[slot], odd.bytes[slot]);
            {
                const std::lock_guard<std::mutex> lock(odd.guard);
                ++odd.written;
            }
            odd.changed.notify_all();
        }
        progress.report(stripEnd(strip), height);
    }
    if (helper.joinable())
        helper.join();
    imageData.finish();
    png_destroy_write_struct(&png, &info);
}
