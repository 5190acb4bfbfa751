#include "gl_driver.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstring>

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
