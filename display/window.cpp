#include "window.h"

#include <GL/glut.h>

#include "fatal_exit.h"
#include "maze.h"
#include "window_system.h"

namespace {

ScreenSize screenSizeFromGlut()
{
    return ScreenSize{glutGet(GLUT_SCREEN_WIDTH), glutGet(GLUT_SCREEN_HEIGHT)};
}

// The screen the window opened on: written by openMazeWindow, GLUT thread only.
ScreenSize screenOpenedOn = {0, 0};

}  // namespace

// Read by openMazeWindow; only tests ever point it elsewhere.
ScreenSize (*queryScreenSize)() = screenSizeFromGlut;

WindowPlacement placeWindow(int screenWidth, int screenHeight, int width, int height)
{
    // The height factor is single precision and the width factor double: the
    // window sizes users know come out of exactly this arithmetic.
    double widthFactor = 1;
    float heightFactor = 1;
    if (height < width)
        heightFactor = static_cast<float>(height) / static_cast<float>(width);
    else if (width < height)
        widthFactor = static_cast<double>(width) / height;

    WindowPlacement placement;
    placement.width = static_cast<int>(widthFactor * screenWidth * 0.8);
    placement.height = static_cast<int>(heightFactor * screenHeight * 0.8);
    placement.x = static_cast<int>((screenWidth - placement.width) * 0.5);
    placement.y = static_cast<int>((screenHeight - placement.height) * 0.5);
    return placement;
}

void openMazeWindow(int* argc, char** argv)
{
    // freeglut answers no query before it is initialised, so it comes first.
    watchWindowSystem(*argc, argv);
    glutInit(argc, argv);
    const ScreenSize screen = queryScreenSize();
    if (screen.width == 0 || screen.height == 0)
        fatalExit(FATAL_SCREEN_SIZE);

    screenOpenedOn = screen;
    const WindowPlacement placement = placeWindow(screen.width, screen.height, mazeWidth, mazeHeight);
    glutInitWindowSize(placement.width, placement.height);
    glutInitWindowPosition(placement.x, placement.y);
    glutInitDisplayMode(GLUT_RGB | GLUT_SINGLE);
    glutCreateWindow("Maze");
    watchMazeWindow();
}

ScreenSize windowScreen()
{
    return screenOpenedOn;
}

