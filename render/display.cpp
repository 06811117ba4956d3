// The renderer's display: construction, binding to the window, the fixed GL
// state and projection, full-screen and windowed modes, and the frame flip.
#include <cmath>
#include <cstring>

#include "base/ending.h"
#include "base/errors.h"
#include "platform/clock.h"
#include "platform/window.h"
#include "render/OpenGLLumeris.h"

float qsin[360];
float qcos[360];

OpenGLLumeris::OpenGLLumeris()
    : hPalette(nullptr),
      window(nullptr),
      width(0),
      height(0),
      bits(0),
      fullscreen(false),
      active(false),
      hRC(nullptr),
      lastFlipTime(0),
      frameTime(0),
      elapsed(0),
      flipRate(0),
      nextParticle(0) {
    std::memset(spriteTexWidth, 0, sizeof spriteTexWidth);
    std::memset(spriteTexHeight, 0, sizeof spriteTexHeight);
    std::memset(spriteWidth, 0, sizeof spriteWidth);
    std::memset(spriteHeight, 0, sizeof spriteHeight);
    std::memset(spriteOffsetX, 0, sizeof spriteOffsetX);
    std::memset(spriteOffsetY, 0, sizeof spriteOffsetY);
    std::memset(spriteTexture, 0, sizeof spriteTexture);
    std::memset(surfaces, 0, sizeof surfaces);
    std::memset(particles, 0, sizeof particles);  // every particle dead
    for (int i = 0; i < 360; ++i) {
        // The table's pi is this ten-digit constant, not M_PI.
        qsin[i] = (float)std::sin(i / 180.0 * 3.141592654);
        qcos[i] = (float)std::cos(i / 180.0 * 3.141592654);
    }
}

OpenGLLumeris::~OpenGLLumeris() {
    if (!window) return;  // never bound to a window: no context to release
    DoWindowed();
    // A program's end has released the context already (ReleaseContext); only a
    // renderer used without the host still holds it here.
    if (hRC) {
        for (int i = 0; i < kSprites; ++i) glDeleteTextures(1, &spriteTexture[i]);
        platform::MakeCurrent(window, nullptr);
        platform::DeleteGLContext(hRC);
        hRC = nullptr;
    }
}

void OpenGLLumeris::ReleaseContext() {
    if (!window || !hRC) return;
    // The GL library may tear its own state down in an exit handler of its own, and a
    // draw still queued (a frame never flipped) is then flushed into freed memory:
    // everything goes while the library is whole.
    FreeAll();
    platform::MakeCurrent(window, nullptr);
    platform::DeleteGLContext(hRC);
    hRC = nullptr;
    active = false;
}

int OpenGLLumeris::Init(HWND windowHandle, int w, int h, int b, unsigned short frame) {
    KWFileSystem::DeleteDebug();
    frameTime = frame < 5 ? 5 : frame;
    window = windowHandle;
    platform::Rect rect{0, 0, 0, 0};
    platform::WindowBounds(window, &rect);
    if (b == 0) b = platform::DesktopBitsPerPixel();
    if (w == 0) w = std::abs(rect.right - rect.left);
    if (h == 0) h = std::abs(rect.bottom - rect.top);
    width = w;
    height = h;
    bits = b;
    fullscreen = false;

    HDC dc = window;
    ChangeSize(width, height);
    SetDCPixelFormat(dc);
    hPalette = GetOpenGLPalette(dc);
    hRC = platform::CreateGLContext(window);
    platform::MakeCurrent(window, hRC);
    SetupRC();
    ChangeSize(width, height);
    DoWindowed();

    lastFlipTime = platform::TickCount();
    flipRate = FlipScreens();
    for (int i = 0; i < 20; ++i) flipRate = (uint16_t)((uint16_t)(flipRate + FlipScreens()) >> 1);
    active = true;

    KWFileSystem::DeleteDebug();
    KWFileSystem::WriteDebug("FlipRate:");
    KWFileSystem::WriteDebug((double)flipRate);
    return 0;
}

void OpenGLLumeris::SetDCPixelFormat(HDC) {
    // The pixel format (RGBA, double buffer, 16-bit depth) is chosen when the
    // platform creates the context; there is nothing to set on a window here.
}

HPALETTE OpenGLLumeris::GetOpenGLPalette(HDC) {
    // Every format the platform offers is true colour: no palette is ever needed.
    return nullptr;
}

void OpenGLLumeris::SetupRC() {
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CCW);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.5f);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glShadeModel(GL_FLAT);
    glDisable(GL_DITHER);
    glDisable(GL_FOG);
    glDisable(GL_LINE_SMOOTH);
    glDisable(GL_POINT_SMOOTH);
    glDisable(GL_POLYGON_SMOOTH);
    glDisable(GL_STENCIL_TEST);
    glDisable(GL_POLYGON_OFFSET_POINT);
    glDisable(GL_COLOR_MATERIAL);
    glDisable(GL_LIGHTING);
    glEnable(GL_NORMALIZE);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_FASTEST);
    glHint(GL_POLYGON_SMOOTH_HINT, GL_FASTEST);
}

void OpenGLLumeris::ChangeSize(int w, int h) {
    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, w, -h, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void OpenGLLumeris::ResizeAuto() {
    platform::Rect rect{0, 0, 0, 0};
    platform::WindowBounds(window, &rect);
    ChangeSize(std::abs(rect.right - rect.left), std::abs(rect.bottom - rect.top));
}

bool OpenGLLumeris::DoFullscreen() {
    platform::SetTopMost(window, true);
    platform::PlaceWindow(window, 0, 0, width, height);
    platform::SetWindowVisible(window, true);
    int desktopBits = platform::DesktopBitsPerPixel();
    bool changed =
        platform::ChangeDisplayMode(window, width, height, bits != desktopBits ? bits : 0);
    if (!changed) {
        // The depth may be what the display refuses: try the size alone.
        if (!platform::ChangeDisplayMode(window, width, height, 0)) {
            platform::WarningSound();
            DoWindowed();
            return false;
        }
        bits = desktopBits;
        SetDCPixelFormat(window);
    }
    if (!fullscreen) platform::ShowMouseCursor(false);
    ChangeSize(width, height);
    fullscreen = true;
    return true;
}

bool OpenGLLumeris::DoWindowed() {
    if (fullscreen) platform::RestoreDisplayMode(window);
    platform::PlaceWindow(window, 0, 0, width, height);
    platform::SetWindowVisible(window, true);
    platform::SetTopMost(window, true);
    if (fullscreen) platform::ShowMouseCursor(true);
    fullscreen = false;
    return true;
}

bool OpenGLLumeris::HideWindow() {
    if (fullscreen) platform::RestoreDisplayMode(window);
    platform::PlaceWindow(window, 0, 0, width, height);
    platform::SetWindowVisible(window, false);
    if (fullscreen) platform::ShowMouseCursor(true);
    fullscreen = false;
    return true;
}

unsigned short OpenGLLumeris::FlipScreens() {
    // A close taken by the window's thread ends the program here, on the game thread.
    _EndIfRequested();
    platform::PresentFrame(window);
    glClear(GL_COLOR_BUFFER_BIT);
    elapsed = 0;
    while (elapsed < frameTime) {
        uint32_t now = platform::TickCount();
        elapsed = (uint16_t)(elapsed + (uint16_t)(now - lastFlipTime));
        lastFlipTime = now;
        platform::Message msg;
        if (platform::PollMessage(&msg, window)) {
            // A close from the system menu (the window manager's close) is swallowed.
            if (msg.message == platform::WM_SYSCOMMAND &&
                (msg.wParam & 0xFFF0) == platform::SC_CLOSE)
                return 0;
            platform::DeliverMessage(&msg);
            platform::DefaultWindowProc(window, msg.message, msg.wParam, msg.lParam);
            continue;  // more messages may be waiting
        }
        // Sleep through most of what remains of the frame, then poll its last moments.
        if (elapsed < frameTime) platform::SleepUntilTick(now + (uint16_t)(frameTime - elapsed));
    }
    return elapsed;
}
