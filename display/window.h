// The window "Maze": sized from the screen and the maze's proportions, centred.
#ifndef WINDOW_H
#define WINDOW_H

struct ScreenSize {
    int width;
    int height;
};

// Where the screen size comes from: GLUT by default. Tests point it elsewhere
// to present a screen GLUT cannot fake, such as one of zero width.
extern ScreenSize (*queryScreenSize)();

struct WindowPlacement {
    int x;
    int y;
    int width;
    int height;
};

// 80 % of the screen in the maze's longer direction, scaled down in the other
// by the maze's proportions, centred on the screen.
WindowPlacement placeWindow(int screenWidth, int screenHeight, int width, int height);

// Initialises GLUT with the program's arguments and creates the window.
// Fatal level 4 when the screen reports a zero width or height.
void openMazeWindow(int* argc, char** argv);

// The screen the window opened on, as openMazeWindow read it.
ScreenSize windowScreen();

#endif
