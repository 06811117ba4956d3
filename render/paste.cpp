// Surface paste, the cross-fade between two surfaces, and lines.
#include "render/OpenGLLumeris.h"

void OpenGLLumeris::PasteSurface(unsigned surface, short x, short y) {
    if (!ValidSurface(surface)) return;
    const OPENGL_SURFACE& s = surfaces[surface];
    if (s.columns == 0 || s.rows == 0) return;  // empty: nothing to draw
    // Tiles are copied opaque, whatever alpha their texels hold.
    glDisable(GL_ALPHA_TEST);
    short px = 0;
    for (int i = 0; i < s.columns; ++i) {
        short py = (short)-s.tileHeight[0][0];
        for (int j = 0; j < s.rows; ++j) {
            const short w = (short)s.tileWidth[i][j];
            const short h = (short)s.tileHeight[i][j];
            glBindTexture(GL_TEXTURE_2D, s.tileTexture[i][j]);
            glPushMatrix();
            glTranslatef(x, -y, 0);
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

void OpenGLLumeris::BlendToSurface(int fromSurface, int toSurface) {
    if (!ValidSurface(fromSurface) || !ValidSurface(toSurface)) return;
    // Steps of the measured flip rate make the fade last about a second.
    float t = (float)ConstFlip();
    if (!(t > 5)) t = 5;
    const float step = t / 1000;
    float a = 0;
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glClear(GL_COLOR_BUFFER_BIT);
    // Each frame adds a x to and (1 - a) x from onto the black buffer the flip left.
    while (a < 1) {
        glColor4f(a, a, a, 1);
        PasteSurface((unsigned)toSurface, 0, 0);
        glColor4f(1 - a, 1 - a, 1 - a, 1);
        PasteSurface((unsigned)fromSurface, 0, 0);
        FlipScreens();
        a += step;
    }
    glColor4f(1, 1, 1, 1);
    PasteSurface((unsigned)toSurface, 0, 0);
    FlipScreens();
    glDisable(GL_BLEND);
}

void OpenGLLumeris::DrawLine(short x1, short y1, short x2, short y2, unsigned long colour) {
    glColor4f((float)(colour & 0xFF) / 255, (float)((colour >> 8) & 0xFF) / 255,
              (float)((colour >> 16) & 0xFF) / 255, 1);
    glDisable(GL_TEXTURE_2D);
    glBegin(GL_LINES);
    glVertex2s(x1, (short)-y1);
    glVertex2s(x2, (short)-y2);
    glEnd();
    glColor4f(1, 1, 1, 1);
    glEnable(GL_TEXTURE_2D);
}
