// The particle pool: bursts emitted from one record into a 1024-entry ring, and
// the per-frame move, age, cull and draw of every live particle.
#include <cmath>

#include "lang/random.h"
#include "render/OpenGLLumeris.h"

namespace {

// Every pool entry visited flips its sign; with an even pool it is back to 2.0 after
// each call, so even entries always turn one way and odd entries the other.
float factor = 2.0f;

// A value from -1 to slightly above 1 from the runtime's 15-bit generator.
float RandomUnit() {
    return (float)(_Random() - 16383) / 16383;
}

}  // namespace

void OpenGLLumeris::Particles(OPENGL_PARTICLE& record, unsigned long colour) {
    if (colour != 0) {
        // Full components give 0.5: two particles on one spot reach full brightness.
        record.r = (float)(colour & 0xFF) / 510;
        record.g = (float)((colour >> 8) & 0xFF) / 510;
        record.b = (float)((colour >> 16) & 0xFF) / 510;
    }
    for (int n = 0; n < record.count; ++n) {
        OPENGL_PARTICLE& p = particles[nextParticle & (kParticles - 1)];
        p = record;
        const float a = RandomUnit();
        const float s = RandomUnit();
        // Two more values per particle keep the generator's sequence as programs expect.
        _Random();
        _Random();
        const float turn = a * 3.1415f;
        p.vx = (float)(std::sin((double)turn) * s * record.vx);
        p.vy = (float)(std::cos((double)turn) * s * record.vy);
        nextParticle = (nextParticle + 1) & (kParticles - 1);
    }
}

void OpenGLLumeris::DrawParticles() {
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_ALPHA_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    const float timer = (float)elapsed;
    for (int i = 0; i < kParticles; ++i) {
        OPENGL_PARTICLE& p = particles[i];
        factor = -factor;
        if (p.life < 1.0f) continue;
        p.life -= timer;
        p.x += p.vx * timer;
        p.vx += p.ax * timer;
        p.vx *= p.dampx;
        p.y += p.vy * timer;
        p.vy += p.ay * timer;
        p.vy *= p.dampy;
        if (p.x < 0 || p.y < 0 || p.x > width || p.y > height) {
            p.life = 0;
            continue;
        }
        glColor4f(p.r, p.g, p.b, 1);
        glPushMatrix();
        glTranslatef(p.x, -p.y, 0);
        glRotatef(p.life * factor, 0, 0, 1);
        glBegin(GL_TRIANGLE_FAN);
        glVertex2s(-5, 8);
        glVertex2s(-5, -8);
        glVertex2s(10, 0);
        glEnd();
        glPopMatrix();
    }
    glColor4f(1, 1, 1, 1);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_ALPHA_TEST);
    glDisable(GL_BLEND);
}
