// The view's arithmetic: zooming about the pointer, its limits, and panning.
#include <gtest/gtest.h>

#include "maze.h"
#include "view.h"

namespace {

struct WorldPoint {
    double x;
    double y;
};

WorldPoint pointAt(const MazeView& view, double fractionX, double fractionY)
{
    const ViewRectangle shown = viewRectangle(view);
    return {shown.left + fractionX * (shown.right - shown.left), shown.top + fractionY * (shown.bottom - shown.top)};
}

bool withinFullView(const ViewRectangle& shown)
{
    const double slack = 1e-9;
    return shown.left >= -1 - slack && shown.top >= -1 - slack && shown.right <= mazeWidth + 1 + slack &&
           shown.bottom <= mazeHeight + 1 + slack;
}

}  // namespace

TEST(MazeView, ZoomingInKeepsThePointUnderThePointerAndZoomingOutEndsAtTheFullView)
{
    const struct {
        int width, height;
        double pointerX, pointerY;
    } cases[] = {{2000, 2000, 0.5, 0.5}, {2000, 2000, 0.01, 0.99}, {30, 20, 0.8, 0.25}, {16000, 1000, 0.3, 0.6}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        mazeWidth = c.width;
        mazeHeight = c.height;
        MazeView view = fullView();
        for (int notch = 1; notch <= mostZoomSteps(); ++notch) {
            const WorldPoint before = pointAt(view, c.pointerX, c.pointerY);
            const MazeView zoomed = zoomedAbout(view, 1, c.pointerX, c.pointerY);
            ASSERT_EQ(zoomed.zoomSteps, notch);
            const WorldPoint after = pointAt(zoomed, c.pointerX, c.pointerY);
            EXPECT_NEAR(after.x, before.x, 1e-9 * c.width);
            EXPECT_NEAR(after.y, before.y, 1e-9 * c.height);
            EXPECT_NEAR((viewRectangle(zoomed).right - viewRectangle(zoomed).left) * zoomPerStep,
                        viewRectangle(view).right - viewRectangle(view).left, 1e-9 * c.width);
            view = zoomed;
        }
        // The most zoom leaves a few cells across the shorter direction; more notches do nothing.
        const ViewRectangle closest = viewRectangle(view);
        const double shorter = std::min(closest.right - closest.left, closest.bottom - closest.top);
        EXPECT_GE(shorter, 4);
        EXPECT_LT(shorter, 4 * zoomPerStep);
        EXPECT_EQ(zoomedAbout(view, 1, 0.5, 0.5).zoomSteps, view.zoomSteps);

        // Out again, about other points: never past the maze's edges, and back to the full view exactly.
        for (int notch = mostZoomSteps(); notch > 0; --notch) {
            view = zoomedAbout(view, -1, 0.9, 0.1);
            EXPECT_TRUE(withinFullView(viewRectangle(view))) << "at " << view.zoomSteps << " notches";
        }
        const ViewRectangle full = viewRectangle(zoomedAbout(view, -1, 0.9, 0.1));
        EXPECT_EQ(full.left, -1);
        EXPECT_EQ(full.top, -1);
        EXPECT_EQ(full.right, c.width + 1);
        EXPECT_EQ(full.bottom, c.height + 1);
    }
    // Mazes that fit a few cells across cannot be zoomed.
    mazeWidth = 2;
    mazeHeight = 1;
    EXPECT_EQ(mostZoomSteps(), 0);
    EXPECT_EQ(zoomedAbout(fullView(), 1, 0.5, 0.5).zoomSteps, 0);
}

TEST(MazeView, DraggingMovesTheMazeWithThePointerAndKeepsItInView)
{
    mazeWidth = 2000;
    mazeHeight = 1000;
    const MazeView zoomed = zoomedAbout(fullView(), 10, 0.5, 0.5);
    const ViewRectangle before = viewRectangle(zoomed);
    const double spanX = before.right - before.left;
    const double spanY = before.bottom - before.top;

    // Dragging right and down by a tenth of the window shows what was a tenth left and above.
    const ViewRectangle after = viewRectangle(draggedBy(zoomed, 0.1, 0.1));
    EXPECT_NEAR(after.left, before.left - 0.1 * spanX, 1e-9);
    EXPECT_NEAR(after.top, before.top - 0.1 * spanY, 1e-9);
    EXPECT_NEAR(after.right - after.left, spanX, 1e-9);

    // However far the drag goes, the view stops at the maze's margin.
    for (const double drag : {-50.0, 50.0}) {
        const ViewRectangle far = viewRectangle(draggedBy(zoomed, drag, drag));
        EXPECT_TRUE(withinFullView(far));
        EXPECT_NEAR(far.right - far.left, spanX, 1e-9);
        EXPECT_TRUE(far.left == -1 || far.right == mazeWidth + 1);
    }
    // At the full view there is nothing to pan.
    const ViewRectangle full = viewRectangle(draggedBy(fullView(), 0.3, -0.2));
    EXPECT_EQ(full.left, -1);
    EXPECT_EQ(full.right, mazeWidth + 1);
}
