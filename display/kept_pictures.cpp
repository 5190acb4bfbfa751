#define GL_GLEXT_PROTOTYPES  // framebuffer objects, OpenGL 3.0
#include "kept_pictures.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <initializer_list>

#include "gl_driver.h"

namespace {

// A picture kept in a texture of the driver's, as RGBA rows from the bottom.
struct KeptPicture {
    GLuint texture;  // 0 until first needed
    int textureWidth;
    int textureHeight;
    bool kept;       // whether it holds the picture of frame
    PictureFrame frame;
};

// The kept pictures, GLUT thread only: written by the functions below, called
// by the maze picture. onWindow and fullView index pictures (-1: none);
// framebuffer is the framebuffer object their textures are drawn into and
// copied from.
struct KeptPictures {
    bool available;
    GLuint framebuffer;
    KeptPicture pictures[keptPictureCount];
    int onWindow;
    int fullView;
};
KeptPictures kept = {false, 0, {}, -1, -1};

// The picture neither on the window nor the full view, its texture of the given size.
KeptPicture& sparePicture(int width, int height)
{
    int spare = 0;
    while (spare == kept.onWindow || spare == kept.fullView)
        ++spare;
    KeptPicture& picture = kept.pictures[spare];
    picture.kept = false;
    if (picture.texture == 0)
        glGenTextures(1, &picture.texture);
    glBindTexture(GL_TEXTURE_2D, picture.texture);
    if (picture.textureWidth != width || picture.textureHeight != height) {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        picture.textureWidth = width;
        picture.textureHeight = height;
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    return picture;
}

// The spare picture now holds frame's picture, which is on the window.
void keepSpare(KeptPicture& picture, const PictureFrame& frame)
{
    picture.kept = true;
    picture.frame = frame;
    kept.onWindow = static_cast<int>(&picture - kept.pictures);
    if (frame.fullView)
        kept.fullView = kept.onWindow;
}

// Copies a texture over the whole window, pixel for pixel.
void copyToWindow(const KeptPicture& picture)
{
    glBindFramebuffer(GL_READ_FRAMEBUFFER, kept.framebuffer);
    glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, picture.texture, 0);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    const int width = picture.frame.width;
    const int height = picture.frame.height;
    glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

// Draws a kept picture as one textured square over its world rectangle.
void drawScaled(const KeptPicture& picture)
{
    const ViewRectangle& shown = picture.frame.shown;
    glBindTexture(GL_TEXTURE_2D, picture.texture);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2d(shown.left, shown.bottom);
    glTexCoord2f(1, 0);
    glVertex2d(shown.right, shown.bottom);
    glTexCoord2f(1, 1);
    glVertex2d(shown.right, shown.top);
    glTexCoord2f(0, 1);
    glVertex2d(shown.left, shown.top);
    glEnd();
}

}  // namespace

bool sameFrame(const PictureFrame& one, const PictureFrame& other)
{
    return one.width == other.width && one.height == other.height && one.shown.left == other.shown.left &&
           one.shown.top == other.shown.top && one.shown.right == other.shown.right &&
           one.shown.bottom == other.shown.bottom;
}

void setUpKeptPictures(bool wanted)
{
    for (KeptPicture& picture : kept.pictures) {
        if (picture.texture != 0)
            glDeleteTextures(1, &picture.texture);
        picture = KeptPicture{};
    }
    if (kept.framebuffer != 0)
        glDeleteFramebuffers(1, &kept.framebuffer);
    kept.framebuffer = 0;
    kept.onWindow = -1;
    kept.fullView = -1;
    kept.available = wanted && driverIsAtLeastVersion(3, 0);
    if (kept.available)
        glGenFramebuffers(1, &kept.framebuffer);
}

bool keepsPictures()
{
    return kept.available;
}

long long largestKeptPicturePixels()
{
    long long largest = 0;
    for (const KeptPicture& picture : kept.pictures) {
        if (picture.texture != 0)
            largest = std::max(largest, static_cast<long long>(picture.textureWidth) * picture.textureHeight);
    }
    return largest;
}

bool putBackPicture(const PictureFrame& frame)
{
    for (int index : {kept.onWindow, kept.fullView}) {
        if (index >= 0 && kept.pictures[index].kept && sameFrame(kept.pictures[index].frame, frame)) {
            copyToWindow(kept.pictures[index]);
            kept.onWindow = index;
            return true;
        }
    }
    return false;
}

bool drawPreview(int width, int height)
{
    const bool fullViewKept = kept.fullView >= 0 && kept.pictures[kept.fullView].kept;
    const bool onWindowKept = kept.onWindow >= 0 && kept.pictures[kept.onWindow].kept;
    if (!fullViewKept && !onWindowKept)
        return false;
    glViewport(0, 0, width, height);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    if (fullViewKept)
        drawScaled(kept.pictures[kept.fullView]);
    if (onWindowKept && kept.onWindow != kept.fullView)
        drawScaled(kept.pictures[kept.onWindow]);
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_TEXTURE_2D);
    return true;
}

bool drawOffWindow(const PictureFrame& frame)
{
    KeptPicture& spare = sparePicture(frame.width, frame.height);
    glBindFramebuffer(GL_FRAMEBUFFER, kept.framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, spare.texture, 0);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        return false;
    }
    glViewport(0, 0, frame.width, frame.height);
    return true;
}

void drawOnWindow()
{
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void showPictureDrawnOffWindow(const PictureFrame& frame)
{
    KeptPicture& spare = sparePicture(frame.width, frame.height);
    spare.frame = frame;
    copyToWindow(spare);
    keepSpare(spare, frame);
}

void prepareDriverForRedraws()
{
    if (kept.onWindow < 0 || !kept.pictures[kept.onWindow].kept)
        return;
    const KeptPicture& picture = kept.pictures[kept.onWindow];
    const ViewRectangle& shown = picture.frame.shown;
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    drawScaled(picture);
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_TEXTURE_2D);
    // As the walls are drawn, and as the solution line is.
    for (const float red : {0.0f, 1.0f}) {
        glColor3f(red, 0, 0);
        glBegin(red == 0 ? GL_LINES : GL_LINE_STRIP);
        glVertex2f(static_cast<float>(shown.left), static_cast<float>(shown.top));
        glVertex2f(static_cast<float>(shown.right), static_cast<float>(shown.bottom));
        glEnd();
    }
    copyToWindow(picture);
}

void keepPicturePixels(const PictureFrame& frame, const unsigned char* pixels)
{
    KeptPicture& spare = sparePicture(frame.width, frame.height);
    glBindTexture(GL_TEXTURE_2D, spare.texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, frame.width, frame.height, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    glBindTexture(GL_TEXTURE_2D, 0);
    keepSpare(spare, frame);
}
