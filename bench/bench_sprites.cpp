// Sprites per second through the renderer (plain, turned, blended; 1 000, 5 000
// and 20 000 sprites of 32 x 32 a frame, eight textures in turn) and full 640 x 480
// surface pastes, each beside a bare OpenGL loop making the same calls. Every
// timing ends with glFinish, as the offscreen driver's swap does not wait.
// Run: build/bench/bench_sprites [repeats]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "host/globals.h"
#include "platform/files.h"
#include "platform/gl.h"
#include "platform/window.h"
#include "render/OpenGLLumeris.h"
#include "tools/make_bmp.h"

namespace {

constexpr int kTextures = 8;
constexpr short kFirstSlot = 100;
constexpr unsigned kSurface = 5;

struct Scene {
    std::vector<short> x, y, angle;
    GLuint texture[kTextures];
};

LRESULT BenchWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return platform::DefaultWindowProc(window, message, wParam, lParam);
}

bool OpenDisplay() {
    if (!platform::InitVideo()) return false;
    platform::RegisterWindowClass("Vamex Bench", BenchWindowProc);
    HWND window = platform::NewWindow("Vamex Bench", "Vamex Bench", 0, 0, 640, 480);
    if (!window) return false;
    platform::SetWindowVisible(window, true);
    hWnd = window;
    lumeris.Init(window, 640, 480, 16, 5);
    return lumeris.IsActive();
}

bool LoadPictures(Scene* scene) {
    for (int t = 0; t < kTextures; ++t) {
        std::string file = platform::TempPath() + "vxbench_sprite" + std::to_string(t) + ".bmp";
        bool written = vxtools::WriteFile(
            file, vxtools::MakeBmp(32, 32, [t](int x, int y) {
                // A key-coloured corner, so the alpha test has work to do.
                if (x < 4 && y < 4) return vxtools::Rgb{255, 0, 128};
                return vxtools::Rgb{(uint8_t)(t * 30), (uint8_t)(x * 8), (uint8_t)(y * 8)};
            }));
        if (!written || lumeris.LoadSprite(kFirstSlot + t, file.c_str(), 0x8000FF) != 1)
            return false;
        std::remove(file.c_str());
        scene->texture[t] = lumeris.SpriteTexture(kFirstSlot + t);
    }
    std::string file = platform::TempPath() + "vxbench_surface.bmp";
    bool written =
        vxtools::WriteFile(file, vxtools::MakeBmp(640, 480, [](int x, int y) {
                               return vxtools::Rgb{(uint8_t)x, (uint8_t)y, (uint8_t)(x ^ y)};
                           }));
    bool loaded = written && lumeris.LoadSurface(kSurface, file.c_str(), false);
    std::remove(file.c_str());
    return loaded;
}

void MakePositions(Scene* scene, int count) {
    scene->x.resize(count);
    scene->y.resize(count);
    scene->angle.resize(count);
    uint32_t state = 12345;
    for (int i = 0; i < count; ++i) {
        state = state * 1664525u + 1013904223u;
        scene->x[i] = (short)((state >> 8) % 640 - 16);
        state = state * 1664525u + 1013904223u;
        scene->y[i] = (short)((state >> 8) % 480 - 16);
        scene->angle[i] = (short)(i * 7 % 360);
    }
}

// The quad every sprite draw sends, wound counter-clockwise in GL terms.
inline void BareQuad(short left, short bottom, short right, short top) {
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2s(left, bottom);
    glTexCoord2f(0, 1);
    glVertex2s(right, bottom);
    glTexCoord2f(1, 1);
    glVertex2s(right, top);
    glTexCoord2f(1, 0);
    glVertex2s(left, top);
    glEnd();
}

// A 32 x 32 picture fills its texture: no offset across, -32 down.
void BarePlain(const Scene& s, int i) {
    glBindTexture(GL_TEXTURE_2D, s.texture[i % kTextures]);
    short top = (short)(s.y[i] + 32);
    BareQuad(s.x[i], (short)-top, (short)(s.x[i] + 32), (short)(-top + 32));
}

void BareTurned(const Scene& s, int i) {
    glBindTexture(GL_TEXTURE_2D, s.texture[i % kTextures]);
    glPushMatrix();
    glTranslatef((float)(s.x[i] + 16), (float)(-s.y[i] - 16), 0);
    glRotatef(s.angle[i], 0, 0, 1);
    BareQuad(-16, -16, 16, 16);
    glPopMatrix();
}

void BareBlended(const Scene& s, int i) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glColor4f(0.5f, 0.5f, 0.5f, 1);
    glPushMatrix();
    BarePlain(s, i);
    glPopMatrix();
    glDisable(GL_BLEND);
    glColor4f(1, 1, 1, 1);
}

void BarePaste(const OPENGL_SURFACE& s) {
    glDisable(GL_ALPHA_TEST);
    short px = 0;
    for (int i = 0; i < s.columns; ++i) {
        short py = (short)-s.tileHeight[0][0];
        for (int j = 0; j < s.rows; ++j) {
            const short w = (short)s.tileWidth[i][j];
            const short h = (short)s.tileHeight[i][j];
            glBindTexture(GL_TEXTURE_2D, s.tileTexture[i][j]);
            glPushMatrix();
            glTranslatef(0, 0, 0);
            glBegin(GL_QUADS);
            glTexCoord2f(0, 0);
            glVertex2s(px, py);
            glTexCoord2f(1, 0);
            glVertex2s((short)(px + w), py);
            glTexCoord2f(1, 1);
            glVertex2s((short)(px + w), (short)(py + h));
            glTexCoord2f(0, 1);
            glVertex2s(px, (short)(py + h));
            glEnd();
            glPopMatrix();
            py = (short)(py - h);
        }
        px = (short)(px + s.tileWidth[i][s.rows - 1]);
    }
    glEnable(GL_ALPHA_TEST);
}

// Seconds for `frames` frames of `frame`, each on a cleared buffer.
double TimeFrames(int frames, const std::function<void()>& frame) {
    glFinish();
    auto start = std::chrono::steady_clock::now();
    for (int f = 0; f < frames; ++f) {
        glClear(GL_COLOR_BUFFER_BIT);
        frame();
    }
    glFinish();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Times the two loops back to back, `repeats` pairs. The machine is shared and its
// load drifts, so each pair gives a ratio and the median ratio is the figure; the
// best run of each side is printed beside it.
void Compare(const char* name, double itemsPerFrame, const char* unit, int repeats,
             const std::function<void()>& renderer, const std::function<void()>& bare) {
    TimeFrames(2, renderer);
    TimeFrames(2, bare);
    // Enough frames for about 0.1 s per timing.
    double one = std::max(TimeFrames(2, renderer) / 2, 1e-5);
    int frames = std::max(2, (int)(0.1 / one));
    std::vector<double> ours, theirs, ratios;
    for (int r = 0; r < repeats; ++r) {
        // Alternate which side goes first, so neither always follows the other.
        double a, b;
        if (r % 2 == 0) {
            a = frames * itemsPerFrame / TimeFrames(frames, renderer);
            b = frames * itemsPerFrame / TimeFrames(frames, bare);
        } else {
            b = frames * itemsPerFrame / TimeFrames(frames, bare);
            a = frames * itemsPerFrame / TimeFrames(frames, renderer);
        }
        ours.push_back(a);
        theirs.push_back(b);
        ratios.push_back(a / b);
    }
    double bestOurs = *std::max_element(ours.begin(), ours.end());
    double bestTheirs = *std::max_element(theirs.begin(), theirs.end());
    std::printf("%-22s %10.0f %10.0f %s/s   median ratio %.3f   best-run ratio %.3f\n", name,
                bestOurs, bestTheirs, unit, Median(ratios), bestOurs / bestTheirs);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    if (!OpenDisplay()) {
        std::fprintf(stderr, "no display\n");
        return 1;
    }
    Scene scene;
    if (!LoadPictures(&scene)) {
        std::fprintf(stderr, "pictures did not load\n");
        return 1;
    }
    std::printf("GL renderer: %s\n", (const char*)glGetString(GL_RENDERER));
    std::printf("%-22s %10s %10s (best runs)\n", "case", "renderer", "bare GL");
    // Half a second of drawing first, so the first case does not pay for a cold start.
    MakePositions(&scene, 1000);
    for (auto start = std::chrono::steady_clock::now();
         std::chrono::steady_clock::now() - start < std::chrono::milliseconds(500);) {
        TimeFrames(1, [&] {
            for (int i = 0; i < 1000; ++i) {
                lumeris.DrawSpriteAB((short)(kFirstSlot + i % kTextures), scene.x[i], scene.y[i],
                                     0.5f);
                BareTurned(scene, i);
            }
        });
    }
    for (int count : {1000, 5000, 20000}) {
        MakePositions(&scene, count);
        const Scene& s = scene;
        char name[64];
        std::snprintf(name, sizeof name, "plain %d", count);
        Compare(
            name, count, "sprites", repeats,
            [&] {
                for (int i = 0; i < count; ++i)
                    lumeris.DrawSprite((short)(kFirstSlot + i % kTextures), s.x[i], s.y[i]);
            },
            [&] {
                for (int i = 0; i < count; ++i) BarePlain(s, i);
            });
        std::snprintf(name, sizeof name, "turned %d", count);
        Compare(
            name, count, "sprites", repeats,
            [&] {
                for (int i = 0; i < count; ++i)
                    lumeris.RotoSprite((short)(kFirstSlot + i % kTextures), s.x[i], s.y[i],
                                       s.angle[i]);
            },
            [&] {
                for (int i = 0; i < count; ++i) BareTurned(s, i);
            });
        std::snprintf(name, sizeof name, "blended %d", count);
        Compare(
            name, count, "sprites", repeats,
            [&] {
                for (int i = 0; i < count; ++i)
                    lumeris.DrawSpriteAB((short)(kFirstSlot + i % kTextures), s.x[i], s.y[i], 0.5f);
            },
            [&] {
                for (int i = 0; i < count; ++i) BareBlended(s, i);
            });
    }
    const OPENGL_SURFACE& surface = *lumeris.Surface(kSurface);
    Compare(
        "surface paste 640x480", 1, "pastes", repeats, [] { lumeris.PasteSurface(kSurface, 0, 0); },
        [&] { BarePaste(surface); });
    lumeris.FreeAll();
    return 0;
}
