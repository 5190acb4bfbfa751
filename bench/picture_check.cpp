#include "picture_check.h"

#include <png.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include "cell_partition.h"

namespace {

constexpr int black = 1;

// Pixel x of a row of two bits a pixel, leftmost in the highest bits.
int pixelAt(const std::vector<png_byte>& row, long long x)
{
    return (row[static_cast<std::size_t>(x / 4)] >> (6 - 2 * (x % 4))) & 3;
}

}  // namespace

int checkSavedPicture(const char* path)
{
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        std::perror(path);
        return 1;
    }
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        std::fprintf(stderr, "%s: not a PNG libpng can read\n", path);
        return 1;
    }
    png_init_io(png, file);
    png_set_user_limits(png, 0x7fffffff, 0x7fffffff);
    png_read_info(png, info);
    const long long pixelsAcross = png_get_image_width(png, info);
    const long long pixelsDown = png_get_image_height(png, info);
    if (png_get_bit_depth(png, info) != 2 || pixelsAcross % 2 != 0 || pixelsDown % 2 != 0) {
        std::fprintf(stderr, "%s: not a maze saved at 2 pixels a cell\n", path);
        return 1;
    }
    // Grid line k lies on pixel 2k + 2, the inside of cell x on pixel 2x + 3.
    const int width = static_cast<int>(pixelsAcross / 2 - 2);
    const int height = static_cast<int>(pixelsDown / 2 - 2);
    CellPartition cells(width * height);
    for (int cell = 0; cell < width * height; ++cell)
        cells.addCell(cell);
    std::vector<png_byte> row(png_get_rowbytes(png, info));
    long long removed = 0;
    bool perfect = true;
    for (long long y = 0; y < pixelsDown; ++y) {
        png_read_row(png, row.data(), nullptr);
        if (y == 2 || y == pixelsDown - 2) {
            // The top border open above the start cell alone; the bottom one closed.
            for (long long x = 0; x < width; ++x)
                perfect = perfect && (pixelAt(row, 2 * x + 3) == black) == (y != 2 || x != 0);
        } else if (y % 2 == 0 && y > 2 && y < pixelsDown - 2) {
            const long long above = y / 2 - 2;  // the row of cells above grid line y / 2 - 1
            for (long long x = 0; x < width; ++x) {
                if (pixelAt(row, 2 * x + 3) == black)
                    continue;
                ++removed;
                const int cell = static_cast<int>(above * width + x);
                perfect = perfect && cells.mergeIfApart(cell + width, cell);
            }
        } else if (y % 2 == 1 && y >= 3 && y < pixelsDown - 2) {
            const long long cellRow = (y - 3) / 2;
            perfect = perfect && pixelAt(row, 2) == black &&
                      (pixelAt(row, 2LL * width + 2) == black) == (cellRow != height - 1);
            for (long long x = 0; x + 1 < width; ++x) {
                if (pixelAt(row, 2 * x + 4) == black)
                    continue;
                ++removed;
                const int cell = static_cast<int>(cellRow * width + x);
                perfect = perfect && cells.mergeIfApart(cell + 1, cell);
            }
        }
    }
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(file);
    // No cycle among the removed walls, and one fewer than the cells: a tree.
    perfect = perfect && removed == static_cast<long long>(width) * height - 1;
    std::printf("picture %dx%d removed=%lld perfect=%s\n", width, height, removed, perfect ? "yes" : "no");
    return perfect ? 0 : 1;
}
