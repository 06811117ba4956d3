// Screen and sprite commands over the renderer. Coordinates, sizes, angles and sprite
// numbers reach the renderer as 16-bit values, as the renderer takes them.
#include "commands/screen.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "base/errors.h"
#include "base/settings.h"
#include "commands/devices.h"
#include "input/DirectInput.h"
#include "platform/files.h"
#include "platform/gl.h"
#include "platform/sizes.h"
#include "render/OpenGLLumeris.h"

namespace {

// A program's blend percentage as the renderer's blend amount.
float BlendAmount(int blend) {
    return (float)(blend / 100.0);
}

// (texture size x zoom) / 100 in 32-bit arithmetic; the size is read as signed 16 bits.
// A sprite number outside the slots has no texture and gives 0.
int ZoomedSize(uint16_t textureSize, int zoom) {
    return (int)((uint32_t)(int16_t)textureSize * (uint32_t)zoom) / 100;
}

}  // namespace

int SPRITE(int n, int x, int y, int blend) {
    if (blend == 0)
        lumeris.DrawSprite((short)n, (short)x, (short)y);
    else
        lumeris.DrawSpriteAB((short)n, (short)x, (short)y, BlendAmount(blend));
    return 0;
}

int ZOOMSPRITE(int n, int x, int y, int zoomX, int zoomY, int blend) {
    short slot = (short)n;
    int w = ZoomedSize(lumeris.SpriteTexWidth(slot), zoomX);
    int h = ZoomedSize(lumeris.SpriteTexHeight(slot), zoomY);
    short extraWidth = (short)(w < 0 ? 0u - (unsigned)w : (unsigned)w);
    short extraHeight = (short)(h < 0 ? 0u - (unsigned)h : (unsigned)h);
    if (blend == 0)
        lumeris.ZoomSprite(slot, (short)x, (short)y, extraWidth, extraHeight);
    else
        lumeris.ZoomSpriteAB(slot, (short)x, (short)y, extraWidth, extraHeight, BlendAmount(blend));
    return 0;
}

int ROTOSPRITE(int n, int x, int y, int angle, int blend) {
    if (blend == 0)
        lumeris.RotoSprite((short)n, (short)x, (short)y, (short)angle);
    else
        lumeris.RotoSpriteAB((short)n, (short)x, (short)y, (short)angle, BlendAmount(blend));
    return 0;
}

int ROTOZOOMSPRITE(int n, int x, int y, int angle, int zoom, int blend) {
    // Below 0 is brought into 0..359 (in one step, not 360 at a time); 360 and above stay.
    if (angle < 0) angle = (int)(((long long)angle % 360 + 360) % 360);
    short slot = (short)n;
    OPENGL_SPRITEFX fx;
    fx.alpha = BlendAmount(blend);
    fx.angle = (float)angle;
    fx.width = (short)ZoomedSize(lumeris.SpriteTexWidth(slot), zoom);
    fx.height = (short)ZoomedSize(lumeris.SpriteTexHeight(slot), zoom);
    fx.color = 0;
    lumeris.DrawSpriteFX(slot, (short)x, (short)y, fx);
    return 0;
}

int SHOWSCREEN() {
    DXin.GetKeyboardStatus();
    if (DXin.GetKey(1)) {
        _Error(VX_ERR_ENDED);
        _EndProgram();
    }
    lumeris.FlipScreens();
    lumeris.PasteSurface(0, 0, 0);
    return 0;
}

int BLACKSCREEN() {
    glClear(GL_COLOR_BUFFER_BIT);
    lumeris.FreeSurface(0);
    return 0;
}

int BLENDSCREEN(VXStr file) {
    lumeris.GrabSurface(0);
    if (!lumeris.LoadSurface(1, file, false)) return _Error(VX_ERR_FILE);
    lumeris.BlendToSurface(0, 1);
    lumeris.FreeSurface(1);
    lumeris.LoadSurface(0, file, false);
    lumeris.PasteSurface(0, 0, 0);
    return 0;
}

int USEASBMP() {
    lumeris.GrabSurface(0);
    return 0;
}

int LOADBMP(VXStr file) {
    if (!lumeris.LoadSurface(0, file, false)) {
        _FileFailure("LOADBMP", file, "the renderer could not take the picture");
        return _Error(VX_ERR_FILE);
    }
    lumeris.PasteSurface(0, 0, 0);
    return 0;
}

int LOADSPRITE(VXStr file, int n) {
    if (lumeris.LoadSprite((unsigned)n, file, 0x8000FF) == 0) {
        _FileFailure("LOADSPRITE", file, "no such sprite slot, or a picture too large for it");
        return _Error(VX_ERR_FILE);
    }
    return 0;
}

int SAVEBMP(VXStr file) {
    // The frame in progress, read back from the back buffer, bottom row first as BMP
    // stores it; rows padded to four bytes.
    const int width = lumeris.Width(), height = lumeris.Height();
    // A BMP's sizes are 32-bit: a frame whose file would not fit in them is not saved.
    const uint64_t rowBytes = ((uint64_t)(width > 0 ? width : 0) * 3 + 3) & ~(uint64_t)3;
    const std::optional<size_t> rowsBytes = platform::BlockBytes(rowBytes, height);
    if (width <= 0 || height <= 0 || !rowsBytes || 54 + (uint64_t)*rowsBytes > 0xFFFFFFFFu) {
        _FileFailure("SAVEBMP", file, "no frame a BMP file can hold");
        return _Error(VX_ERR_FILE);
    }
    const size_t pixelBytes = *rowsBytes;
    std::vector<uint8_t> data(54 + pixelBytes, 0);
    auto put16 = [&](size_t at, uint32_t v) {
        data[at] = (uint8_t)v;
        data[at + 1] = (uint8_t)(v >> 8);
    };
    auto put32 = [&](size_t at, uint32_t v) {
        put16(at, v & 0xFFFF);
        put16(at + 2, v >> 16);
    };
    data[0] = 'B';
    data[1] = 'M';
    put32(2, (uint32_t)data.size());
    put32(10, 54);
    put32(14, 40);
    put32(18, (uint32_t)width);
    put32(22, (uint32_t)height);
    put16(26, 1);
    put16(28, 24);
    put32(34, (uint32_t)pixelBytes);
    put32(38, 2835);  // 72 dots per inch
    put32(42, 2835);

    glReadBuffer(GL_BACK);
    // Rows padded to four bytes, as BMP pads them; the other pack settings pinned, so
    // the read lands inside the buffer whatever was set before.
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glPixelStorei(GL_PACK_SKIP_ROWS, 0);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
    // GL's rows start at the bottom too, and BGR is BMP's byte order.
    glReadPixels(0, 0, width, height, GL_BGR, GL_UNSIGNED_BYTE, data.data() + 54);
    std::string path = platform::ResolvePath(file);
    if (!platform::RewriteFile(path, (const char*)data.data(), data.size())) {
        _FileFailure("SAVEBMP", file);
        return _Error(VX_ERR_FILE);
    }
    return 0;
}
