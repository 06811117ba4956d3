// Shared by the renderer's drawing tests: a fixture that opens the display and
// starts each test on a black frame, test pictures in the test's own temporary
// folder, and small readers of the frame and of GL state.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "host/globals.h"
#include "platform/files.h"
#include "platform/gl.h"
#include "render/OpenGLLumeris.h"
#include "support/display.h"
#include "tools/make_bmp.h"

namespace vxtest {

// A file name in this test process's temporary folder.
inline std::string TempFile(const std::string& name) {
    return platform::TempPath() + name;
}

// Writes a generated picture and returns its file name.
inline std::string WritePicture(const std::string& name, int w, int h,
                                const std::function<vxtools::Rgb(int, int)>& colour,
                                vxtools::BmpOptions options = {}) {
    std::string path = TempFile(name);
    EXPECT_TRUE(vxtools::WriteFile(path, vxtools::MakeBmp(w, h, colour, options)));
    return path;
}

// Fills the whole frame with one colour, leaving the clear colour black.
inline void FillFrame(float r, float g, float b) {
    glClearColor(r, g, b, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0, 0, 0, 0);
}

// The smallest box holding every pixel that differs from `background`, in a block
// read from the frame; empty (w or h 0) when none does.
struct Box {
    int x = 0, y = 0, w = 0, h = 0;
};
inline Box Coverage(int x, int y, int w, int h, Pixel background = {0, 0, 0}) {
    std::vector<Pixel> block = ReadBlock(x, y, w, h);
    int left = w, right = -1, top = h, bottom = -1;
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col)
            if (!(block[(size_t)row * w + col] == background)) {
                if (col < left) left = col;
                if (col > right) right = col;
                if (row < top) top = row;
                if (row > bottom) bottom = row;
            }
    if (right < 0) return {};
    return {x + left, y + top, right - left + 1, bottom - top + 1};
}

inline bool operator==(const Box& a, const Box& b) {
    return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h;
}
inline std::ostream& operator<<(std::ostream& o, const Box& b) {
    return o << "(" << b.x << "," << b.y << " " << b.w << "x" << b.h << ")";
}
inline std::ostream& operator<<(std::ostream& o, const Pixel& p) {
    return o << "rgb(" << (int)p.r << "," << (int)p.g << "," << (int)p.b << ")";
}

// True when every component is within `tolerance` of the expected one.
inline bool Near(Pixel got, Pixel want, int tolerance = 1) {
    auto close = [tolerance](int a, int b) { return a - b <= tolerance && b - a <= tolerance; };
    return close(got.r, want.r) && close(got.g, want.g) && close(got.b, want.b);
}

// The state every drawing method must leave behind it.
inline void ExpectRestingState() {
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLfloat colour[4] = {0, 0, 0, 0};
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0] + colour[1] + colour[2] + colour[3], 4.0f);
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
}

// Opens the display once and starts every test on a black frame.
class RenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(OpenDisplay());
        glClear(GL_COLOR_BUFFER_BIT);
    }
};

}  // namespace vxtest
