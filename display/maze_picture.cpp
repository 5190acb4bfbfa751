#define GL_GLEXT_PROTOTYPES  // buffer objects, OpenGL 1.5; fences, 3.2
#include "maze_picture.h"

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "fatal_exit.h"
#include "full_view_image.h"
#include "maze.h"
#include "zeroed_array.h"

namespace {

// Square tiles of this many cells a side: a view of a few hundred cells
// across draws little more than what it shows, and a tile is still hundreds
// of lines, so drawing tile by tile costs nothing extra.
constexpr int tileCells = 16;

// Two vertices of two coordinates per line.
constexpr int floatsPerLine = 4;

// Vertices drawn per step of a picture drawn in steps: a few hundredths of a
// second on a software renderer, so the picture starts to change at once and
// the mouse is heard between steps.
constexpr long long verticesPerDrawingStep = 1000000;

// The stored walls, GLUT thread only: written by compileMazeList, read by
// drawMazePicture. Tiles are numbered row by row and stored in that order, so
// the tiles of one row that a view overlaps are one run of vertices. A wall
// belongs to the tile of the cell to its left or above it. Tile t holds the
// vertices from tileFirstVertex[t] up to tileFirstVertex[t + 1].
struct StoredWalls {
    int tileColumns;
    int tileRows;
    GLint* tileFirstVertex;  // tileColumns * tileRows + 1 entries
    GLuint buffer;           // the buffer object holding the vertices, or 0
    float* clientVertices;   // the vertices when kept in this program's memory instead
};
StoredWalls storedWalls = {0, 0, nullptr, 0, nullptr};

// The tiles of a picture still to be drawn, GLUT thread only: set by
// drawMazePicture, advanced by drawMoreOfMazePicture. Rows nextRow .. lastRow
// of the columns firstColumn .. lastColumn remain.
struct PictureInProgress {
    int firstColumn;
    int lastColumn;
    int nextRow;
    int lastRow;
};
PictureInProgress pictureInProgress = {0, -1, 0, -1};

// Whether the full view's pixels are kept: set by compileMazeList from the
// renderer, read by drawMazePicture.
bool keepingFullViewImage = false;

// llvmpipe sorts a draw's lines into scenes of up to 36 MiB and hands each to
// its drawing threads without waiting for them; while they fall behind it
// starts new ones, up to 64, so how much of a large picture it held at once
// depended on the timing of the run (one to three scenes at 1000 x 1000 on
// two processors). Each piece is ended by a fence, and the fence of the piece
// handed over before the last is waited for, so the driver holds the pieces
// in flight and the one it is sorting, at any speed.
constexpr GLint verticesPerPiece = 2 * linesPerPiece;
constexpr int piecesInFlight = piecesHeldByDriver - 1;

// The pieces in flight, GLUT thread only: written by drawLines across frames.
// fences[oldest] is the oldest piece's fence (null while there is none), and
// the piece being drawn has received verticesSincePiece vertices so far.
// fencing is set by compileMazeList on Mesa's software rasterisers where the
// driver has fences (OpenGL 3.2); elsewhere the lines are drawn whole.
struct PiecesInFlight {
    bool fencing;
    GLsync fences[piecesInFlight];
    int oldest;
    GLint verticesSincePiece;
};
PiecesInFlight piecesDrawn = {false, {}, 0, 0};

bool rendererIsMesaSoftware()
{
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    return renderer != nullptr &&
           (std::strncmp(renderer, "llvmpipe", 8) == 0 || std::strncmp(renderer, "softpipe", 8) == 0);
}

bool driverIsAtLeastVersion(int wantedMajor, int wantedMinor)
{
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    int major = 0;
    int minor = 0;
    if (version == nullptr || std::sscanf(version, "%d.%d", &major, &minor) != 2)
        return false;
    return major > wantedMajor || (major == wantedMajor && minor >= wantedMinor);
}

// Ends the piece being drawn with a fence, which hands it to the driver's
// drawing threads, then waits until the oldest piece in flight is drawn.
void endPiece()
{
    GLsync& slot = piecesDrawn.fences[piecesDrawn.oldest];
    const GLsync oldest = slot;
    slot = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    piecesDrawn.oldest = (piecesDrawn.oldest + 1) % piecesInFlight;
    piecesDrawn.verticesSincePiece = 0;
    if (oldest == nullptr)
        return;
    constexpr GLuint64 oneSecond = 1000000000;
    while (glClientWaitSync(oldest, GL_SYNC_FLUSH_COMMANDS_BIT, oneSecond) == GL_TIMEOUT_EXPIRED) {
    }
    glDeleteSync(oldest);
}

// Draws count vertices of the stored lines from first on, in pieces.
void drawLines(GLint first, GLint count)
{
    if (!piecesDrawn.fencing) {
        glDrawArrays(GL_LINES, first, count);
        return;
    }
    while (count > 0) {
        const GLint piece = std::min(count, verticesPerPiece - piecesDrawn.verticesSincePiece);
        glDrawArrays(GL_LINES, first, piece);
        first += piece;
        count -= piece;
        piecesDrawn.verticesSincePiece += piece;
        if (piecesDrawn.verticesSincePiece == verticesPerPiece)
            endPiece();
    }
}

// Top and right edges, leaving the entrance above the start cell and the
// exit beside the goal cell open; then the left and bottom edges, whole.
void compileBorder(int width, int height)
{
    glNewList(MAZE_LIST, GL_COMPILE);
    glBegin(GL_LINE_STRIP);
    glVertex2f(1, 0);
    glVertex2f(width, 0);
    glVertex2f(width, height - 1);
    glEnd();
    glBegin(GL_LINE_STRIP);
    glVertex2f(0, 0);
    glVertex2f(0, height);
    glVertex2f(width, height);
    glEnd();
    glEndList();
}

// Calls visit(tile, x, y, standsRight, standsBelow) for every cell of the
// grid with a standing wall, row by row, with which of its two walls stand;
// the records are read in the order buildWallList lays them out.
template <typename Visit>
void visitCells(int width, int height, Visit visit)
{
    long long record = 0;
    for (int y = 0; y < height; ++y) {
        const int tileRowStart = y / tileCells * storedWalls.tileColumns;
        for (int x = 0; x < width; ++x) {
            bool standsRight = false;
            bool standsBelow = false;
            if (x + 1 != width)
                standsRight = walls[record++].present == 1;
            if (y + 1 != height)
                standsBelow = walls[record++].present == 1;
            if (standsRight || standsBelow)
                visit(tileRowStart + x / tileCells, x, y, standsRight, standsBelow);
        }
    }
}

// Writes every standing wall's line into vertices, tile by tile. nextVertex
// holds each tile's first vertex and is advanced past what it receives.
void writeWallLines(int width, int height, float* vertices, long long* nextVertex)
{
    visitCells(width, height, [&](int tile, int x, int y, bool standsRight, bool standsBelow) {
        float* line = vertices + nextVertex[tile] * 2;
        const float left = static_cast<float>(x);
        const float top = static_cast<float>(y);
        if (standsRight) {  // the vertical line between two cells side by side
            line[0] = left + 1;
            line[1] = top;
            line[2] = left + 1;
            line[3] = top + 1;
            line += floatsPerLine;
            nextVertex[tile] += 2;
        }
        if (standsBelow) {  // the horizontal line between two cells one above the other
            line[0] = left;
            line[1] = top + 1;
            line[2] = left + 1;
            line[3] = top + 1;
            nextVertex[tile] += 2;
        }
    });
}

void releaseStoredWalls()
{
    if (storedWalls.buffer != 0)
        glDeleteBuffers(1, &storedWalls.buffer);
    std::free(storedWalls.clientVertices);
    std::free(storedWalls.tileFirstVertex);
    storedWalls = StoredWalls{0, 0, nullptr, 0, nullptr};
}

// Room for the given number of vertices in the store; the pointer to write
// them through, or nullptr when there is no memory for them.
float* openStore(WallStore store, long long vertices)
{
    if (store == CLIENT_MEMORY_WALLS) {
        storedWalls.clientVertices = allocateZeroed<float>(vertices * 2);
        return storedWalls.clientVertices;
    }
    const long long bytes = vertices * 2 * static_cast<long long>(sizeof(float));
    glGenBuffers(1, &storedWalls.buffer);
    glBindBuffer(GL_ARRAY_BUFFER, storedWalls.buffer);
    glBufferData(GL_ARRAY_BUFFER, std::max(bytes, 1LL), nullptr, GL_STATIC_DRAW);
    void* mapped = glMapBuffer(GL_ARRAY_BUFFER, GL_WRITE_ONLY);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return static_cast<float*>(mapped);
}

void closeStore()
{
    if (storedWalls.buffer == 0)
        return;
    glBindBuffer(GL_ARRAY_BUFFER, storedWalls.buffer);
    glUnmapBuffer(GL_ARRAY_BUFFER);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void storeWalls(WallStore store, int width, int height)
{
    releaseStoredWalls();
    if (width <= 0 || height <= 0)
        return;
    storedWalls.tileColumns = (width - 1) / tileCells + 1;
    storedWalls.tileRows = (height - 1) / tileCells + 1;
    const long long tiles = static_cast<long long>(storedWalls.tileColumns) * storedWalls.tileRows;

    // Counted first, so that each tile's lines go straight to their place.
    long long* nextVertex = allocateZeroed<long long>(tiles + 1);
    storedWalls.tileFirstVertex = allocateZeroed<GLint>(tiles + 1);
    if (nextVertex == nullptr || storedWalls.tileFirstVertex == nullptr)
        fatalExit(FATAL_ALLOCATION);
    visitCells(width, height, [&](int tile, int, int, bool standsRight, bool standsBelow) {
        nextVertex[tile + 1] += 2 * (standsRight + standsBelow);
    });
    for (long long tile = 0; tile < tiles; ++tile)
        nextVertex[tile + 1] += nextVertex[tile];
    // Draw calls count vertices in a GLint.
    if (nextVertex[tiles] > std::numeric_limits<GLint>::max())
        fatalExit(FATAL_ALLOCATION);
    for (long long tile = 0; tile <= tiles; ++tile)
        storedWalls.tileFirstVertex[tile] = static_cast<GLint>(nextVertex[tile]);

    float* vertices = openStore(store, nextVertex[tiles]);
    if (vertices == nullptr)
        fatalExit(FATAL_ALLOCATION);
    writeWallLines(width, height, vertices, nextVertex);
    closeStore();
    std::free(nextVertex);
}

// Draws the tiles of the given columns in one row of tiles, or in every row
// from row to lastRow when the columns span whole rows, which follow each
// other in the store. Returns the vertices drawn and advances row past them.
long long drawTileRows(int& row, int lastRow, int firstColumn, int lastColumn)
{
    const GLint* first = storedWalls.tileFirstVertex;
    const int columns = storedWalls.tileColumns;
    const int rows = firstColumn == 0 && lastColumn == columns - 1 ? lastRow - row + 1 : 1;
    const int start = row * columns + firstColumn;
    const int end = (row + rows - 1) * columns + lastColumn + 1;
    drawLines(first[start], first[end] - first[start]);
    row += rows;
    return first[end] - first[start];
}

// Draws rows of the picture in progress: all of them, or rows until about a
// step's worth of vertices is drawn. Returns whether the picture is complete.
bool drawPictureRows(bool allAtOnce)
{
    PictureInProgress& left = pictureInProgress;
    if (storedWalls.tileFirstVertex == nullptr || left.firstColumn > left.lastColumn)
        left.nextRow = left.lastRow + 1;
    if (left.nextRow > left.lastRow)
        return true;
    // Drivers without buffer objects have no glBindBuffer to call.
    if (storedWalls.buffer != 0)
        glBindBuffer(GL_ARRAY_BUFFER, storedWalls.buffer);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(2, GL_FLOAT, 0, storedWalls.clientVertices);
    glColor3f(0, 0, 0);
    long long drawn = 0;
    while (left.nextRow <= left.lastRow && (allAtOnce || drawn < verticesPerDrawingStep))
        drawn += drawTileRows(left.nextRow, allAtOnce ? left.lastRow : left.nextRow, left.firstColumn, left.lastColumn);
    glDisableClientState(GL_VERTEX_ARRAY);
    if (storedWalls.buffer != 0)
        glBindBuffer(GL_ARRAY_BUFFER, 0);
    return left.nextRow > left.lastRow;
}

// The tiles a stretch of the world overlaps, in one direction: a tile of
// cells first .. first + tileCells - 1 has lines from first to first + tileCells.
void tilesOverlapping(double low, double high, int tileCount, int& first, int& last)
{
    first = static_cast<int>(std::clamp(std::floor((low - 1) / tileCells), 0.0, tileCount - 1.0));
    last = static_cast<int>(std::clamp(std::floor(high / tileCells), -1.0, tileCount - 1.0));
}

// Clears the window, draws the border and starts on the tiles in view.
void startPicture(const MazeView& view)
{
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(0, 0, 0);
    glCallList(MAZE_LIST);
    const ViewRectangle shown = viewRectangle(view);
    PictureInProgress& start = pictureInProgress;
    tilesOverlapping(shown.left, shown.right, storedWalls.tileColumns, start.firstColumn, start.lastColumn);
    tilesOverlapping(shown.top, shown.bottom, storedWalls.tileRows, start.nextRow, start.lastRow);
}

}  // namespace

void compileMazeList()
{
    compileMazeList(driverIsAtLeastVersion(1, 5) ? BUFFER_OBJECT_WALLS : CLIENT_MEMORY_WALLS);
}

void compileMazeList(WallStore store)
{
    const int width = mazeWidth;
    const int height = mazeHeight;
    glClearColor(1, 1, 1, 0);
    glColor3f(0, 0, 0);
    compileBorder(width, height);
    storeWalls(store, width, height);
    forgetFullViewImage();
    keepingFullViewImage = rendererIsMesaSoftware();
    // Only on the software rasterisers, where the picture's working memory is
    // this process's as its kept full view is: a GPU queues lines in memory of
    // its own, and waiting for it would only slow it down.
    piecesDrawn.fencing = keepingFullViewImage && driverIsAtLeastVersion(3, 2);
}

bool keepsFullViewImage()
{
    return keepingFullViewImage;
}

bool drawMazePicture(const MazeView& view)
{
    if (view.zoomSteps != 0) {
        startPicture(view);
        return drawPictureRows(false);
    }
    // The full view is drawn whole: it is the picture every run starts with,
    // and on the software renderers it is drawn only once.
    const int windowWidth = glutGet(GLUT_WINDOW_WIDTH);
    const int windowHeight = glutGet(GLUT_WINDOW_HEIGHT);
    if (keepingFullViewImage && fullViewImageFits(windowWidth, windowHeight)) {
        pictureInProgress = PictureInProgress{0, -1, 0, -1};
        putBackFullViewImage();
        return true;
    }
    startPicture(view);
    drawPictureRows(true);
    if (keepingFullViewImage)
        keepFullViewImage(windowWidth, windowHeight);
    return true;
}

bool drawMoreOfMazePicture()
{
    return drawPictureRows(false);
}

bool mazePictureComplete()
{
    return pictureInProgress.nextRow > pictureInProgress.lastRow;
}
