#define GL_GLEXT_PROTOTYPES  // glWindowPos2i, OpenGL 1.4
#include "show_frame.h"

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "fine_view.h"
#include "kept_pictures.h"
#include "maze.h"
#include "maze_picture.h"
#include "show_state.h"
#include "view.h"
#include "wall_lines.h"
#include "window_room.h"

namespace {

// The most cells a pixel's shading is read from across and down.
constexpr double sampledCellsAcross = 4;

// Quads and path vertices handed to the driver at a time.
constexpr int verticesPerPiece = 4 * 4096;

// One piece's vertices and colours, GLUT thread only: filled and drawn in turn.
float pieceVertices[2 * verticesPerPiece];
float pieceColours[3 * verticesPerPiece];

// The cells a world rectangle touches, clamped to the maze: [first, end).
struct CellSpan {
    long long first;
    long long end;
};

CellSpan cellsAcross(double from, double to, long long cells)
{
    const double first = std::clamp(std::floor(from), 0.0, static_cast<double>(cells));
    const double end = std::clamp(std::ceil(to), 0.0, static_cast<double>(cells));
    return CellSpan{static_cast<long long>(first), static_cast<long long>(end)};
}

const float* colourOf(unsigned char shown)
{
    return (shown & cellStateMask) == CELL_LEFT ? leftCellColour : enteredCellColour;
}

// Every cell in view the solver has entered, a square of its colour.
void drawShading(const ViewRectangle& shown)
{
    const long long width = mazeWidth;
    const CellSpan columns = cellsAcross(shown.left, shown.right, width);
    const CellSpan rows = cellsAcross(shown.top, shown.bottom, mazeHeight);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(2, GL_FLOAT, 0, pieceVertices);
    glColorPointer(3, GL_FLOAT, 0, pieceColours);
    int vertices = 0;
    for (long long y = rows.first; y < rows.end; ++y) {
        for (long long x = columns.first; x < columns.end; ++x) {
            const unsigned char cell = showState.cells[y * width + x];
            if ((cell & cellStateMask) == CELL_UNTOUCHED)
                continue;
            const float corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
            for (const auto& corner : corners) {
                pieceVertices[2 * vertices] = static_cast<float>(x) + corner[0];
                pieceVertices[2 * vertices + 1] = static_cast<float>(y) + corner[1];
                std::copy(colourOf(cell), colourOf(cell) + 3, pieceColours + 3 * vertices);
                ++vertices;
            }
            if (vertices == verticesPerPiece) {
                glDrawArrays(GL_QUADS, 0, vertices);
                vertices = 0;
            }
        }
    }
    if (vertices > 0)
        glDrawArrays(GL_QUADS, 0, vertices);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}

// The solver's path, from its end back to the start, as a red line through
// the cells' centres, a piece at a time: each piece starts where the last ended.
void drawPath()
{
    if (showState.current < 0)
        return;
    const long long width = mazeWidth;
    const long long cells = width * mazeHeight;
    glColor3f(1, 0, 0);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(2, GL_FLOAT, 0, pieceVertices);
    int vertices = 0;
    long long walked = 0;
    for (long long cell = showState.current; cell >= 0 && walked <= cells; cell = cellBefore(cell), ++walked) {
        pieceVertices[2 * vertices] = static_cast<float>(cell % width) + 0.5f;
        pieceVertices[2 * vertices + 1] = static_cast<float>(cell / width) + 0.5f;
        if (++vertices == verticesPerPiece) {
            glDrawArrays(GL_LINE_STRIP, 0, vertices);
            pieceVertices[0] = pieceVertices[2 * (vertices - 1)];
            pieceVertices[1] = pieceVertices[2 * (vertices - 1) + 1];
            vertices = 1;
        }
    }
    if (vertices > 1)
        glDrawArrays(GL_LINE_STRIP, 0, vertices);
    glDisableClientState(GL_VERTEX_ARRAY);
}

// The computed grey view with the cells' shading blended in: the white share
// of each pixel, what its cells' squares leave of it, takes their colours'
// mean over the cells under the pixel.
void tintFineView(const ViewRectangle& shown, int windowWidth, int windowHeight, unsigned char* pixels)
{
    const long long width = mazeWidth;
    const double cellsPerColumn = (shown.right - shown.left) / windowWidth;
    const double cellsPerRow = (shown.bottom - shown.top) / windowHeight;
    // Where a pixel spans many cells, a few of them evenly spread stand for
    // the rest, so that a frame of the largest maze takes no longer than one
    // of a maze a few times the window's size.
    const long long columnStep = std::max(1LL, static_cast<long long>(cellsPerColumn / sampledCellsAcross));
    const long long rowStep = std::max(1LL, static_cast<long long>(cellsPerRow / sampledCellsAcross));
    std::vector<CellSpan> columns(static_cast<std::size_t>(windowWidth));
    for (int column = 0; column < windowWidth; ++column)
        columns[column] = cellsAcross(shown.left + column * cellsPerColumn,
                                      shown.left + (column + 1) * cellsPerColumn, width);
    for (int row = 0; row < windowHeight; ++row) {
        // Row 0 is the window's bottom.
        const int fromTop = windowHeight - 1 - row;
        const CellSpan rows = cellsAcross(shown.top + fromTop * cellsPerRow, shown.top + (fromTop + 1) * cellsPerRow,
                                          mazeHeight);
        if (rows.first >= rows.end)
            continue;
        unsigned char* pixel = pixels + static_cast<std::size_t>(row) * windowWidth * 4;
        for (int column = 0; column < windowWidth; ++column, pixel += 4) {
            const CellSpan& across = columns[column];
            long long entered = 0;
            long long left = 0;
            long long total = 0;
            for (long long y = rows.first; y < rows.end; y += rowStep) {
                const unsigned char* cell = showState.cells + y * width;
                for (long long x = across.first; x < across.end; x += columnStep) {
                    const unsigned state = cell[x] & cellStateMask;
                    entered += state == CELL_ENTERED;
                    left += state == CELL_LEFT;
                    ++total;
                }
            }
            if (entered + left == 0)
                continue;
            for (int channel = 0; channel < 3; ++channel) {
                const double untouched = static_cast<double>(total - entered - left);
                const double colour = (untouched + entered * enteredCellColour[channel] +
                                       left * leftCellColour[channel]) / static_cast<double>(total);
                pixel[channel] = static_cast<unsigned char>(std::lround(pixel[channel] * colour));
            }
            pixel[3] = 255;
        }
    }
}

}  // namespace

void drawShowFrame()
{
    const std::lock_guard<std::mutex> lock(showLock);
    const int width = glutGet(GLUT_WINDOW_WIDTH);
    const int height = glutGet(GLUT_WINDOW_HEIGHT);
    if (!showState.active || showState.cells == nullptr || width <= 0 || height <= 0)
        return;
    const PictureFrame frame{viewRectangle(mazeView), width, height, mazeView.zoomSteps == 0};
    const bool offWindow = keepsPictures() && drawOffWindow(frame);
    if (!offWindow)
        glViewport(0, 0, width, height);
    applyProjection(frame.shown);
    const bool fine = isFineView(frame.shown, width, height) && startFineView(frame.shown, width, height);
    if (fine) {
        while (!computeMoreOfFineView()) {
        }
        if (showState.current >= 0)
            tintFineView(frame.shown, width, height, fineViewPixels());
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glWindowPos2i(0, 0);
        glDrawPixels(width, height, GL_RGBA, GL_UNSIGNED_BYTE, fineViewPixels());
    } else {
        glClear(GL_COLOR_BUFFER_BIT);
        if (showState.current >= 0)
            drawShading(frame.shown);
        glColor3f(0, 0, 0);
        glCallList(MAZE_LIST);
        startWallLines(frame.shown);
        drawMoreWallLines(std::numeric_limits<long long>::max());
    }
    drawPath();
    if (offWindow) {
        drawOnWindow();
        showPictureDrawnOffWindow(frame);
    }
    glFlush();
    noteWindowDrawn();
    showState.changed = false;
}
