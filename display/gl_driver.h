// What the GL driver of the window is and can do, read from its strings.
#ifndef GL_DRIVER_H
#define GL_DRIVER_H

// Whether it is one of Mesa's software rasterisers (llvmpipe, softpipe), which
// draw with this process's processors and memory.
bool rendererIsMesaSoftware();

// Whether it offers at least this OpenGL version.
bool driverIsAtLeastVersion(int wantedMajor, int wantedMinor);

#endif
