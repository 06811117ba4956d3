// Particles: the ring of 1024 entries, the colour and random draws of a burst,
// and the per-frame ageing, motion, culling, turning and additive drawing.
#include <cmath>

#include "lang/random.h"
#include "render_support.h"

namespace {

using vxtest::Pixel;
using vxtest::ReadPixel;

class ParticleTest : public vxtest::RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        KillAll();
        lumeris.FlipScreens();  // a fresh black frame, and a known frame length
        step = lumeris.Elapsed();
        ASSERT_GE(step, 5.0f);
    }
    // Overwrites the whole ring with dead particles.
    static void KillAll() {
        OPENGL_PARTICLE dead{};
        dead.count = 1024;
        lumeris.Particles(dead, 0);
    }
    // Emits dead particles until the next one to be emitted is `entry`.
    static void AdvanceTo(int entry) {
        OPENGL_PARTICLE dead{};
        dead.count = (entry - lumeris.NextParticle()) & 1023;
        lumeris.Particles(dead, 0);
    }
    // A record for particles that stay where they start.
    static OPENGL_PARTICLE Still(float x, float y, float life, int count = 1) {
        OPENGL_PARTICLE p{};
        p.count = count;
        p.life = life;
        p.dampx = p.dampy = 1;
        p.x = x;
        p.y = y;
        p.r = p.g = p.b = 0.5f;
        return p;
    }
    float step = 0;
};

TEST_F(ParticleTest, BurstsFillTheRingInOrderAndWrap) {
    AdvanceTo(1022);
    OPENGL_PARTICLE burst = Still(10, 10, 50, 3);
    lumeris.Particles(burst, 0);
    EXPECT_EQ(lumeris.NextParticle(), 1);
    EXPECT_EQ(lumeris.Particle(1021).life, 0.0f);
    EXPECT_EQ(lumeris.Particle(1022).life, 50.0f);
    EXPECT_EQ(lumeris.Particle(1023).life, 50.0f);
    EXPECT_EQ(lumeris.Particle(0).life, 50.0f);
    EXPECT_EQ(lumeris.Particle(1).life, 0.0f);

    // More than the ring holds: the burst overwrites itself and the ring moves on.
    OPENGL_PARTICLE big = Still(10, 10, 0, 1030);
    lumeris.Particles(big, 0);
    EXPECT_EQ(lumeris.NextParticle(), 7);
    // Nothing at all for a count of 0 or below.
    OPENGL_PARTICLE none = Still(10, 10, 50, 0);
    lumeris.Particles(none, 0);
    none.count = -5;
    lumeris.Particles(none, 0);
    EXPECT_EQ(lumeris.NextParticle(), 7);
    EXPECT_EQ(lumeris.Particle(7).life, 0.0f);
}

TEST_F(ParticleTest, ColourIsWrittenIntoTheRecordAtHalfStrength) {
    OPENGL_PARTICLE record = Still(10, 10, 0);
    record.r = record.g = record.b = 0.25f;
    lumeris.Particles(record, 0);
    EXPECT_EQ(record.r, 0.25f);
    EXPECT_EQ(lumeris.Particle(lumeris.NextParticle() - 1).g, 0.25f);
    lumeris.Particles(record, 0xFFFFFF);
    EXPECT_EQ(record.r, 0.5f);
    EXPECT_EQ(record.g, 0.5f);
    EXPECT_EQ(record.b, 0.5f);
    lumeris.Particles(record, 0x800000);  // 0x00BBGGRR: blue 128 only
    EXPECT_EQ(record.r, 0.0f);
    EXPECT_EQ(record.g, 0.0f);
    EXPECT_EQ(record.b, 128.0f / 510);
    EXPECT_EQ(lumeris.Particle(lumeris.NextParticle() - 1).b, 128.0f / 510);
}

TEST_F(ParticleTest, EachParticleTakesFourRandomValues) {
    AdvanceTo(100);
    OPENGL_PARTICLE record = Still(300, 200, 10, 2);
    record.vx = 2;
    record.vy = 3;
    _SeedRandom(1234);
    lumeris.Particles(record, 0);
    const int after = _Random();
    _SeedRandom(1234);
    for (int i = 0; i < 8; ++i) _Random();
    EXPECT_EQ(_Random(), after);
    for (int i = 0; i < 2; ++i) {
        const OPENGL_PARTICLE& p = lumeris.Particle(100 + i);
        EXPECT_EQ(p.x, 300.0f);
        EXPECT_EQ(p.life, 10.0f);
        // A random direction and a speed up to the record's on each axis.
        EXPECT_LE(p.vx * p.vx / 4 + p.vy * p.vy / 9, 1.0001f);
    }
}

TEST_F(ParticleTest, ParticleAgesByTheFrameLengthUntilItDies) {
    AdvanceTo(0);
    OPENGL_PARTICLE record = Still(320, 240, 10 * step);
    lumeris.Particles(record, 0);
    float life = record.life;
    for (int frame = 1; frame <= 10; ++frame) {
        glClear(GL_COLOR_BUFFER_BIT);
        lumeris.DrawParticles();
        life -= step;
        EXPECT_EQ(lumeris.Particle(0).life, life) << frame;
        EXPECT_FALSE(ReadPixel(320, 240) == (Pixel{0, 0, 0})) << frame;
    }
    // Life 0: dead, skipped, and no longer aged.
    glClear(GL_COLOR_BUFFER_BIT);
    lumeris.DrawParticles();
    EXPECT_EQ(lumeris.Particle(0).life, life);
    EXPECT_EQ(vxtest::Coverage(0, 0, 640, 480).w, 0);
    vxtest::ExpectRestingState();
}

TEST_F(ParticleTest, OverlappingParticlesAddUp) {
    OPENGL_PARTICLE one = Still(100, 100, 1000);
    lumeris.Particles(one, 0xFFFFFF);
    OPENGL_PARTICLE two = Still(300, 100, 1000, 2);
    lumeris.Particles(two, 0x0000FF);
    lumeris.DrawParticles();
    EXPECT_TRUE(vxtest::Near(ReadPixel(100, 100), {128, 128, 128})) << ReadPixel(100, 100);
    EXPECT_TRUE(vxtest::Near(ReadPixel(300, 100), {255, 0, 0})) << ReadPixel(300, 100);
    // A 15 x 16 arrowhead: nothing far from its centre.
    EXPECT_EQ(ReadPixel(100, 120), (Pixel{0, 0, 0}));
    EXPECT_EQ(ReadPixel(120, 100), (Pixel{0, 0, 0}));
}

TEST_F(ParticleTest, EvenAndOddEntriesTurnOppositeWays) {
    AdvanceTo(0);
    // After ageing, life is 45: a turn of -90 degrees for entry 0, +90 for entry 1.
    OPENGL_PARTICLE even = Still(200, 240, step + 45);
    lumeris.Particles(even, 0);
    OPENGL_PARTICLE odd = Still(400, 240, step + 45);
    lumeris.Particles(odd, 0);
    lumeris.DrawParticles();
    EXPECT_FALSE(ReadPixel(200, 248) == (Pixel{0, 0, 0}));  // points down the screen
    EXPECT_EQ(ReadPixel(200, 232), (Pixel{0, 0, 0}));
    EXPECT_FALSE(ReadPixel(400, 232) == (Pixel{0, 0, 0}));  // points up
    EXPECT_EQ(ReadPixel(400, 248), (Pixel{0, 0, 0}));
    // The alternation does not drift from one call to the next.
    glClear(GL_COLOR_BUFFER_BIT);
    AdvanceTo(0);
    even = Still(200, 240, step + 45);
    lumeris.Particles(even, 0);
    lumeris.DrawParticles();
    EXPECT_FALSE(ReadPixel(200, 248) == (Pixel{0, 0, 0}));
}

TEST_F(ParticleTest, ParticlesLeavingTheDisplayAreKilled) {
    AdvanceTo(0);
    const float inside[][2] = {{0, 100}, {640, 100}, {100, 0}, {100, 480}};
    const float outside[][2] = {{-0.5f, 100}, {640.5f, 100}, {100, -0.5f}, {100, 480.5f}};
    for (const auto& at : inside) {
        OPENGL_PARTICLE p = Still(at[0], at[1], 1000);
        lumeris.Particles(p, 0);
    }
    for (const auto& at : outside) {
        OPENGL_PARTICLE p = Still(at[0], at[1], 1000);
        lumeris.Particles(p, 0);
    }
    lumeris.DrawParticles();
    for (int i = 0; i < 4; ++i) EXPECT_EQ(lumeris.Particle(i).life, 1000 - step) << i;
    for (int i = 4; i < 8; ++i) EXPECT_EQ(lumeris.Particle(i).life, 0.0f) << i;
    EXPECT_FALSE(ReadPixel(1, 100) == (Pixel{0, 0, 0}));
}

TEST_F(ParticleTest, SpeedGrowsByTimeAndDampsOncePerFrame) {
    AdvanceTo(0);
    OPENGL_PARTICLE record = Still(320, 240, 1000);
    record.vx = record.vy = 1;
    record.ax = 0.01f;
    record.dampx = 0.9f;
    lumeris.Particles(record, 0);
    const OPENGL_PARTICLE start = lumeris.Particle(0);
    lumeris.DrawParticles();
    const OPENGL_PARTICLE& p = lumeris.Particle(0);
    EXPECT_FLOAT_EQ(p.x, start.x + start.vx * step);
    EXPECT_FLOAT_EQ(p.vx, (start.vx + 0.01f * step) * 0.9f);
    EXPECT_FLOAT_EQ(p.y, start.y + start.vy * step);
    EXPECT_FLOAT_EQ(p.vy, start.vy);  // no acceleration, factor 1: unchanged
}

TEST_F(ParticleTest, DeadPoolDrawsNothing) {
    lumeris.DrawParticles();
    EXPECT_EQ(vxtest::Coverage(0, 0, 640, 480).w, 0);
    vxtest::ExpectRestingState();
}

}  // namespace
