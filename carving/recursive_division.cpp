// Recursive division: the open field, every wall removed, split by a wall with
// one gap, and each side split again until its rooms are one cell wide or
// tall. A room wider than tall is split by a vertical wall, a taller one by a
// horizontal wall, a square one either way at random. The rooms waiting to be
// split are kept on a stack: each lies beside the path of splits down to the
// room at hand, and every split narrows a room by a cell at least, so there
// are never more of them than the maze's width and height together.
#include "algorithms.h"
#include "carving_grid.h"
#include "wide_random_source.h"

namespace {

struct Room {
    int left;
    int top;
    int width;
    int height;
};

}  // namespace

void carveByRecursiveDivision()
{
    openField();

    CarvingArray<Room> rooms(static_cast<long long>(mazeWidth) + mazeHeight + 1);
    long long waiting = 0;
    rooms[waiting++] = Room{0, 0, mazeWidth, mazeHeight};
    while (waiting > 0) {
        const Room room = rooms[--waiting];
        if (room.width < 2 || room.height < 2)
            continue;
        const bool vertical = room.width > room.height || (room.width == room.height && drawCoin());
        if (vertical) {
            // The wall runs right of column splitAt, all the way down but for the gap.
            const int splitAt = room.left + static_cast<int>(drawBelow(static_cast<std::uint64_t>(room.width - 1)));
            const int gap = room.top + static_cast<int>(drawBelow(static_cast<std::uint64_t>(room.height)));
            for (int y = room.top; y < room.top + room.height; ++y) {
                if (y != gap)
                    restoreWall(wallToward(splitAt, y, RIGHT));
            }
            rooms[waiting++] = Room{room.left, room.top, splitAt - room.left + 1, room.height};
            rooms[waiting++] = Room{splitAt + 1, room.top, room.left + room.width - splitAt - 1, room.height};
        } else {
            const int splitAt = room.top + static_cast<int>(drawBelow(static_cast<std::uint64_t>(room.height - 1)));
            const int gap = room.left + static_cast<int>(drawBelow(static_cast<std::uint64_t>(room.width)));
            for (int x = room.left; x < room.left + room.width; ++x) {
                if (x != gap)
                    restoreWall(wallToward(x, splitAt, DOWN));
            }
            rooms[waiting++] = Room{room.left, room.top, room.width, splitAt - room.top + 1};
            rooms[waiting++] = Room{room.left, splitAt + 1, room.width, room.top + room.height - splitAt - 1};
        }
    }
}
