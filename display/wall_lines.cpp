#define GL_GLEXT_PROTOTYPES  // fences, OpenGL 3.2
#include "wall_lines.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cmath>

#include "drawn_walls.h"

namespace {

// Two vertices of two coordinates per line.
constexpr int floatsPerLine = 4;

// The lines in progress, GLUT thread only: set by startWallLines, advanced by
// drawMoreWallLines. The vertical lines x = firstX[0] .. lastX[0] of rows
// firstRow[0] .. lastRow[0] are drawn first, then the horizontal lines
// x = firstX[1] .. lastX[1] on grid lines firstRow[1] .. lastRow[1]; the next
// to look at is line x of row row of plane plane.
struct LinesInProgress {
    int firstX[2];
    int lastX[2];
    int firstRow[2];
    int lastRow[2];
    int plane;
    int row;
    int x;
};
LinesInProgress linesInProgress = {{0, 0}, {-1, -1}, {0, 0}, {-1, -1}, 2, 0, 0};

// One piece's vertices, made and handed over in turn: GL copies a client
// array's vertices before glDrawArrays returns.
float pieceVertices[linesPerPiece * floatsPerLine];

// llvmpipe sorts a draw's lines into scenes of up to 36 MiB and hands each to
// its drawing threads without waiting for them; while they fall behind it
// starts new ones, up to 64, so how much of a large picture it held at once
// depended on the timing of the run. Each piece is ended by a fence, and the
// fence of the piece handed over before the last is waited for, so the driver
// holds the pieces in flight and the one it is sorting, at any speed.
constexpr int piecesInFlight = piecesHeldByDriver - 1;

// The pieces in flight, GLUT thread only: written by handOverPiece across
// pictures. fences[oldest] is the oldest piece's fence (null while there is
// none). fencing is set by the picture from the renderer.
struct PiecesInFlight {
    bool fencing;
    GLsync fences[piecesInFlight];
    int oldest;
};
PiecesInFlight piecesDrawn = {false, {}, 0};

// Draws a piece of lines and, when fencing, ends it with a fence, which hands
// it to the driver's drawing threads, then waits until the oldest piece in
// flight is drawn.
void handOverPiece(int lines)
{
    if (lines == 0)
        return;
    glDrawArrays(GL_LINES, 0, 2 * lines);
    if (!piecesDrawn.fencing)
        return;
    GLsync& slot = piecesDrawn.fences[piecesDrawn.oldest];
    const GLsync oldest = slot;
    slot = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    piecesDrawn.oldest = (piecesDrawn.oldest + 1) % piecesInFlight;
    if (oldest == nullptr)
        return;
    constexpr GLuint64 oneSecond = 1000000000;
    while (glClientWaitSync(oldest, GL_SYNC_FLUSH_COMMANDS_BIT, oneSecond) == GL_TIMEOUT_EXPIRED) {
    }
    glDeleteSync(oldest);
}

int clampedFloor(double value, int low, int high)
{
    return static_cast<int>(std::clamp(std::floor(value), static_cast<double>(low), static_cast<double>(high)));
}

int clampedCeil(double value, int low, int high)
{
    return static_cast<int>(std::clamp(std::ceil(value), static_cast<double>(low), static_cast<double>(high)));
}

}  // namespace

void fenceWallLinePieces(bool fencing)
{
    piecesDrawn.fencing = fencing;
}

void startWallLines(const ViewRectangle& shown)
{
    const int width = wallPlanes.width;
    const int height = wallPlanes.height;
    LinesInProgress& lines = linesInProgress;
    // Interior lines only, with one more on each side than the rectangle
    // touches: those outside the window are clipped.
    lines.firstX[0] = clampedFloor(shown.left - 1, 1, width);
    lines.lastX[0] = clampedCeil(shown.right + 1, -1, width - 1);
    lines.firstRow[0] = clampedFloor(shown.top - 1, 0, height);
    lines.lastRow[0] = clampedCeil(shown.bottom, -1, height - 1);
    lines.firstX[1] = clampedFloor(shown.left - 1, 0, width);
    lines.lastX[1] = clampedCeil(shown.right, -1, width - 1);
    lines.firstRow[1] = clampedFloor(shown.top - 1, 1, height);
    lines.lastRow[1] = clampedCeil(shown.bottom + 1, -1, height - 1);
    lines.plane = 0;
    lines.row = lines.firstRow[0];
    lines.x = lines.firstX[0];
}

bool drawMoreWallLines(long long mostLines)
{
    LinesInProgress& lines = linesInProgress;
    if (lines.plane > 1)
        return true;
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(2, GL_FLOAT, 0, pieceVertices);
    glColor3f(0, 0, 0);
    long long drawn = 0;
    int inPiece = 0;
    while (lines.plane <= 1 && drawn + inPiece < mostLines) {
        const bool vertical = lines.plane == 0;
        if (lines.row > lines.lastRow[lines.plane] || lines.x > lines.lastX[lines.plane]) {
            // This row is done: the next, or the other plane.
            if (lines.row < lines.lastRow[lines.plane]) {
                ++lines.row;
            } else if (++lines.plane <= 1) {
                lines.row = lines.firstRow[lines.plane];
            }
            if (lines.plane <= 1)
                lines.x = lines.firstX[lines.plane];
            continue;
        }
        const std::uint64_t* bits = vertical ? verticalRow(wallPlanes, lines.row) : horizontalRow(wallPlanes, lines.row);
        const int lastX = lines.lastX[lines.plane];
        const float rowAt = static_cast<float>(lines.row);
        // Whole words at a time, from the next line to look at.
        const int word = lines.x >> 6;
        std::uint64_t standing = bits[word] & (~std::uint64_t{0} << (lines.x & 63));
        if ((lastX >> 6) == word && (lastX & 63) != 63)
            standing &= (std::uint64_t{1} << ((lastX & 63) + 1)) - 1;
        while (standing != 0 && drawn + inPiece < mostLines) {
            const int bit = __builtin_ctzll(standing);
            standing &= standing - 1;
            const float at = static_cast<float>(word * 64 + bit);
            float* line = pieceVertices + inPiece * floatsPerLine;
            if (vertical) {  // from (x, y) down to (x, y + 1)
                line[0] = at;
                line[1] = rowAt;
                line[2] = at;
                line[3] = rowAt + 1;
            } else {  // from (x, y) across to (x + 1, y)
                line[0] = at;
                line[1] = rowAt;
                line[2] = at + 1;
                line[3] = rowAt;
            }
            lines.x = word * 64 + bit + 1;
            if (++inPiece == linesPerPiece) {
                handOverPiece(inPiece);
                drawn += inPiece;
                inPiece = 0;
            }
        }
        if (standing == 0)
            lines.x = std::max(lines.x, (word + 1) * 64);
    }
    handOverPiece(inPiece);
    glDisableClientState(GL_VERTEX_ARRAY);
    return lines.plane > 1;
}
