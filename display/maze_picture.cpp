#define GL_GLEXT_PROTOTYPES  // glWindowPos2i, OpenGL 1.4
#include "maze_picture.h"

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <limits>

#include "fine_view.h"
#include "gl_driver.h"
#include "kept_pictures.h"
#include "maze.h"
#include "drawn_walls.h"
#include "window.h"
#include "window_room.h"

namespace {

// Lines drawn off the window per step: a few hundredths of a second on a
// software renderer, so the window hears its events between steps.
constexpr long long linesPerStep = 16 * linesPerPiece;

// The view being made, GLUT thread only: set by drawMazePicture, advanced by
// drawMoreOfMazePicture; none while active is false.
struct PictureInProgress {
    bool active;
    PictureFrame frame;
    bool fine;          // computed as an image; otherwise drawn as lines off the window
    bool linesStarted;  // the lines' background and border are drawn
};
PictureInProgress inProgress = {false, {}, false, false};

// Whether the driver has been prepared for redraws over the window: set once
// the first view of a large maze is on the window. GLUT thread only.
bool driverPrepared = false;

// Whether a whole picture has been on the window yet: until then a view still
// being made leaves the window showing the ground colour, never the black of
// a window nothing has been drawn in. GLUT thread only.
bool pictureShown = false;

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

PictureFrame frameOf(const MazeView& view)
{
    return PictureFrame{viewRectangle(view), glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT),
                        view.zoomSteps == 0};
}

// Clears, draws the border and starts on the walls, in the current projection.
void startLines(const ViewRectangle& shown)
{
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(0, 0, 0);
    glCallList(MAZE_LIST);
    startWallLines(shown);
}

// The same, and every wall.
void drawLines(const ViewRectangle& shown)
{
    startLines(shown);
    drawMoreWallLines(std::numeric_limits<long long>::max());
}

// The image computed for the view in progress, onto the window and kept.
// Where pictures are kept it goes through its texture, the way it is shown
// again later: the driver prepares that way once, for the first frame, rather
// than at the first space press.
void showFineView(const PictureFrame& frame)
{
    if (keepsPictures()) {
        keepPicturePixels(frame, fineViewPixels());
        putBackPicture(frame);
        return;
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glWindowPos2i(0, 0);
    glDrawPixels(frame.width, frame.height, GL_RGBA, GL_UNSIGNED_BYTE, fineViewPixels());
}

// The next step of the lines in progress, off the window; returns whether
// they are complete on it.
bool drawMoreLinesOffWindow()
{
    const PictureFrame& frame = inProgress.frame;
    if (!drawOffWindow(frame)) {
        drawLines(frame.shown);
        return true;
    }
    applyProjection(frame.shown);
    if (!inProgress.linesStarted) {
        startLines(frame.shown);
        inProgress.linesStarted = true;
    }
    const bool complete = drawMoreWallLines(linesPerStep);
    drawOnWindow();
    if (complete)
        showPictureDrawnOffWindow(frame);
    return complete;
}

}  // namespace

void compileMazeList()
{
    glClearColor(1, 1, 1, 0);
    glColor3f(0, 0, 0);
    compileBorder(mazeWidth, mazeHeight);
    keepWallPlanes();
    setUpKeptPictures(picturesKeptFor(mazeWidth, mazeHeight, windowScreen()));
    inProgress.active = false;
    driverPrepared = false;
    pictureShown = false;
    fenceWallLinePieces(rendererIsMesaSoftware() && driverIsAtLeastVersion(3, 2));
}

PictureState drawMazePicture(const MazeView& view)
{
    const PictureFrame frame = frameOf(view);
    const bool fine = frame.width > 0 && frame.height > 0 && isFineView(frame.shown, frame.width, frame.height);
    // A maze whose full view is lines has a few hundred thousand lines in view
    // at most, drawn in a hundredth of a second or two.
    const bool large = fine || (frame.width > 0 && frame.height > 0 &&
                                isFineView(viewRectangle(fullView()), frame.width, frame.height));
    if (!large || (!fine && !keepsPictures())) {
        inProgress.active = false;
        drawLines(frame.shown);
        pictureShown = true;
        return PICTURE_COMPLETE;
    }
    if (putBackPicture(frame)) {
        inProgress.active = false;
        pictureShown = true;
        return PICTURE_COMPLETE;
    }
    if (!inProgress.active || !sameFrame(inProgress.frame, frame)) {
        if (fine && !startFineView(frame.shown, frame.width, frame.height)) {
            // No memory for the image: lines, black where cells are finer than pixels.
            inProgress.active = false;
            drawLines(frame.shown);
            pictureShown = true;
            return PICTURE_COMPLETE;
        }
        inProgress = PictureInProgress{true, frame, fine, false};
    }
    if (drawPreview(frame.width, frame.height))
        return PICTURE_PREVIEWED;
    if (!pictureShown)
        glClear(GL_COLOR_BUFFER_BIT);
    return PICTURE_PENDING;
}

bool drawMoreOfMazePicture()
{
    if (!inProgress.active)
        return true;
    if (inProgress.fine) {
        if (!computeMoreOfFineView())
            return false;
        showFineView(inProgress.frame);
    } else if (!drawMoreLinesOffWindow()) {
        return false;
    }
    inProgress.active = false;
    pictureShown = true;
    if (!driverPrepared && keepsPictures()) {
        // Shown first, prepared after: the window waits for nothing.
        glFlush();
        applyProjection(inProgress.frame.shown);
        prepareDriverForRedraws();
        driverPrepared = true;
    }
    return true;
}

bool mazePictureComplete()
{
    return !inProgress.active;
}

void notePictureOnWindow()
{
    inProgress.active = false;
    pictureShown = true;
    driverPrepared = false;
}
