#define GL_GLEXT_PROTOTYPES  // glWindowPos2i, OpenGL 1.4
#include "full_view_image.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdlib>

#include "zeroed_array.h"

namespace {

// The kept image, GLUT thread only: written by keepFullViewImage, read by
// putBackFullViewImage. RGBA rows from the bottom up, as GL reads them; it
// belongs to a window of keptWidth x keptHeight pixels, and none is kept
// while keptPixels is null.
unsigned char* keptPixels = nullptr;
int keptWidth = 0;
int keptHeight = 0;

// Rows of whole pixels, with no padding, both ways.
void packTightly()
{
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
}

}  // namespace

bool fullViewImageFits(int windowWidth, int windowHeight)
{
    return keptPixels != nullptr && keptWidth == windowWidth && keptHeight == windowHeight;
}

void keepFullViewImage(int windowWidth, int windowHeight)
{
    forgetFullViewImage();
    keptPixels = allocateZeroed<unsigned char>(4LL * windowWidth * windowHeight);
    if (keptPixels == nullptr)
        return;
    keptWidth = windowWidth;
    keptHeight = windowHeight;
    packTightly();
    // Single-buffered: what was drawn is in the front buffer, which the
    // software rasterisers keep whole in this process's memory.
    glReadBuffer(GL_FRONT);
    glReadPixels(0, 0, keptWidth, keptHeight, GL_RGBA, GL_UNSIGNED_BYTE, keptPixels);
}

void putBackFullViewImage()
{
    packTightly();
    glWindowPos2i(0, 0);
    glDrawPixels(keptWidth, keptHeight, GL_RGBA, GL_UNSIGNED_BYTE, keptPixels);
}

void forgetFullViewImage()
{
    std::free(keptPixels);
    keptPixels = nullptr;
}
