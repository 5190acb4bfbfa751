#include "carving.h"

#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <system_error>
#include <new>
#include <thread>

#include "cell_partition.h"
#include "fatal_exit.h"
#include "maze.h"
#include "step_watch.h"
#include "wall_list.h"
#include "wall_order.h"
#include "zeroed_array.h"

WallOrder::WallOrder() : scratch(nullptr), count(0), taken(0), reachable(0) {}

WallOrder::~WallOrder()
{
    std::free(scratch);
}

bool WallOrder::start(int n)
{
    std::free(scratch);
    count = n > 0 ? n : 0;
    taken = 0;
    reachable = count < largestDraw + 1 ? count : largestDraw + 1;
    scratch = allocateZeroed<int>(reachable);
    if (scratch == nullptr)
        return false;
    for (int i = 0; i < reachable; ++i)
        scratch[i] = i;
    return true;
}

int shuffleIndices(int* out, int n)
{
    WallOrder order;
    if (!order.start(n))
        return -1;
    for (int i = 0; i < n; ++i)
        out[i] = order.next();
    return 0;
}

namespace {

// A wall as carving visits it: the cell left of or above it, and which of
// its sides, packed as y << 32 | x << 1 | below.
using VisitedWall = std::uint64_t;

// Where records lie, found by multiplying instead of dividing: a record's row
// is its index over 2W - 1, and the order names two billion records at the
// largest size.
class RecordPlaces {
public:
    RecordPlaces(int width, int height)
        : width(width),
          lastRow(height - 1),
          recordsPerRow(2u * static_cast<unsigned>(width) - 1u),
          // ceil(2^64 / d): exact for every 32-bit index over an odd d > 1.
          reciprocal(recordsPerRow > 1 ? ~std::uint64_t{0} / recordsPerRow + 1 : 0)
    {
    }

    VisitedWall place(unsigned record) const
    {
        const std::uint64_t y =
            recordsPerRow > 1 ? static_cast<std::uint64_t>((static_cast<unsigned __int128>(record) * reciprocal) >> 64)
                              : record;
        const std::uint64_t inRow = record - y * recordsPerRow;
        if (y == static_cast<std::uint64_t>(lastRow))
            return y << 32 | inRow << 1;
        // Right of cell x at 2x, below it at 2x + 1, and below the row's last cell at 2W - 2.
        const std::uint64_t below = (inRow & 1) | (inRow == recordsPerRow - 1 ? 1 : 0);
        return y << 32 | (inRow >> 1) << 1 | below;
    }

private:
    int width;
    int lastRow;
    std::uint64_t recordsPerRow;
    std::uint64_t reciprocal;
};

// The order in blocks, made on one thread and carved on another: a ring of
// blocks that the maker fills while the carver empties the ones before.
constexpr int blockWalls = 1 << 14;
constexpr int ringBlocks = 4;

struct OrderRing {
    VisitedWall walls[ringBlocks][blockWalls];
    int filled[ringBlocks];  // walls in each block
    std::mutex guard;        // guards made and carved
    std::condition_variable changed;
    long long made = 0;      // blocks made so far, by the maker
    long long carved = 0;    // blocks carved so far, by the carver
};

// Fills a block with the next walls of the order; returns how many.
int makeBlock(WallOrder& order, const RecordPlaces& places, long long& left, VisitedWall* block)
{
    const int walls = left < blockWalls ? static_cast<int>(left) : blockWalls;
    for (int i = 0; i < walls; ++i)
        block[i] = places.place(static_cast<unsigned>(order.next()));
    left -= walls;
    return walls;
}

void makeOrder(OrderRing& ring, WallOrder& order, const RecordPlaces& places, long long total)
{
    long long left = total;
    for (long long block = 0; left > 0; ++block) {
        {
            std::unique_lock<std::mutex> lock(ring.guard);
            ring.changed.wait(lock, [&] { return ring.made - ring.carved < ringBlocks; });
        }
        const int slot = static_cast<int>(block % ringBlocks);
        ring.filled[slot] = makeBlock(order, places, left, ring.walls[slot]);
        {
            const std::lock_guard<std::mutex> lock(ring.guard);
            ++ring.made;
        }
        ring.changed.notify_all();
    }
}

// Visits a block of walls. The order visits the walls a few rows of the maze
// apart, and their cells' sets further still, so the sets of the cells a few
// walls ahead are fetched early to overlap their cache misses. Made twice:
// watched, telling each passage opened, and not, as it always was, so that a
// run nobody watches pays not even a test a wall.
template <bool watched>
void carveBlock(const VisitedWall* block, int walls, CellPartition& partition, WallPlanes& planes)
{
    const long long width = planes.width;
    const long long words = planes.wordsPerRow;
    auto cellOf = [width](VisitedWall wall) { return static_cast<int>((wall >> 32) * width + ((wall & 0xffffffffu) >> 1)); };
    constexpr int lookahead = 8;
    for (int i = 0; i < walls; ++i) {
        if (lookahead > 0 && i + lookahead < walls) {
            const VisitedWall upcoming = block[i + lookahead];
            const int cell = cellOf(upcoming);
            partition.prefetch(cell);
            partition.prefetch((upcoming & 1) != 0 ? cell + static_cast<int>(width) : cell + 1);
        }
        const VisitedWall wall = block[i];
        const long long y = static_cast<long long>(wall >> 32);
        const long long x = static_cast<long long>((wall & 0xffffffffu) >> 1);
        const bool below = (wall & 1) != 0;
        const int cell1 = static_cast<int>(y * width + x);
        const int cell2 = below ? cell1 + static_cast<int>(width) : cell1 + 1;
        // The wall goes when its cells are apart; the joined set takes the
        // first cell's label.
        if (partition.mergeIfApart(cell2, cell1)) {
            const long long line = below ? x : x + 1;
            std::uint64_t* const word =
                (below ? planes.horizontal + (y + 1) * words : planes.vertical + y * words) + (line >> 6);
            *word &= ~(std::uint64_t{1} << (line & 63));
            if (watched)
                stepWatch->wallChanged(word);
        }
    }
}

}  // namespace

void carveMaze()
{
    const int n = wallCount();
    WallOrder order;
    if (!order.start(n))
        fatalExit(FATAL_SHUFFLE);
    const RecordPlaces places(mazeWidth, mazeHeight);
    OrderRing* ring = allocateZeroed<OrderRing>(1);
    if (ring == nullptr)
        fatalExit(FATAL_ALLOCATION);
    new (ring) OrderRing();

    // The order is made on a second processor while this one adds the cells
    // and then carves; the maze is the same either way.
    std::thread maker;
    if (std::thread::hardware_concurrency() > 1 && n > blockWalls) {
        try {
            maker = std::thread(makeOrder, std::ref(*ring), std::ref(order), std::cref(places), static_cast<long long>(n));
        } catch (const std::system_error&) {
        }
    }

    const int cells = mazeWidth * mazeHeight;
    CellPartition partition(cells);
    for (int i = 0; i < cells; ++i) {
        if (partition.addCell(i) < 0)
            fatalExit(FATAL_ADD_CELL);
    }

    // Every wall is visited, even after the last cell has been connected.
    long long left = n;
    for (long long block = 0; left > 0; ++block) {
        const int slot = static_cast<int>(block % ringBlocks);
        int visited = 0;
        if (maker.joinable()) {
            {
                std::unique_lock<std::mutex> lock(ring->guard);
                ring->changed.wait(lock, [&] { return ring->made > block; });
            }
            visited = ring->filled[slot];
            left -= visited;
        } else {
            visited = makeBlock(order, places, left, ring->walls[slot]);
        }
        if (stepWatch != nullptr)
            carveBlock<true>(ring->walls[slot], visited, partition, *walls);
        else
            carveBlock<false>(ring->walls[slot], visited, partition, *walls);
        if (maker.joinable()) {
            {
                const std::lock_guard<std::mutex> lock(ring->guard);
                ++ring->carved;
            }
            ring->changed.notify_all();
        }
    }
    if (maker.joinable())
        maker.join();
    ring->~OrderRing();
    std::free(ring);
    declarePerfectMaze();
}

unsigned long long carvingWorkingBytes(int width, int height)
{
    const long long cells = width > 0 && height > 0 ? static_cast<long long>(width) * height : 0;
    return CellPartition::bytesFor(cells) + static_cast<unsigned long long>(WallOrder::scratchBytes) + sizeof(OrderRing);
}
