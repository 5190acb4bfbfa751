#include "reachable_cells.h"

#include <vector>

#include "maze.h"

namespace {

std::vector<bool> reachableFromStart()
{
    const int cells = mazeWidth * mazeHeight;
    std::vector<std::vector<int>> passages(static_cast<std::size_t>(cells));
    for (int i = 0; i < wallCount(); ++i) {
        if (walls[i].present == 0) {
            passages[walls[i].cell1].push_back(walls[i].cell2);
            passages[walls[i].cell2].push_back(walls[i].cell1);
        }
    }
    std::vector<bool> reached(static_cast<std::size_t>(cells), false);
    if (cells == 0)
        return reached;
    std::vector<int> pending{0};
    reached[0] = true;
    while (!pending.empty()) {
        const int cell = pending.back();
        pending.pop_back();
        for (int next : passages[cell]) {
            if (!reached[next]) {
                reached[next] = true;
                pending.push_back(next);
            }
        }
    }
    return reached;
}

}  // namespace

int cellsReachableFromStart()
{
    int count = 0;
    for (bool reached : reachableFromStart())
        count += reached ? 1 : 0;
    return count;
}

bool goalReachable()
{
    const std::vector<bool> reached = reachableFromStart();
    return !reached.empty() && reached.back();
}
