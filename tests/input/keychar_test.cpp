// The character of the keys held, in both keyboard modes: letters, digits, shift,
// the override order, and the wait for the key's release.
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "input_support.h"

using namespace inputtest;

namespace {

struct HeldKey {
    SDL_Scancode scancode;
    SDL_Keycode sym;  // 0: the US layout's
};

class KeyCharModes : public InputTest, public ::testing::WithParamInterface<Mode> {
protected:
    // Presses the keys together, lets them go, and reads one character: the first
    // poll sees them held, the release wait's poll sees them let go.
    int Type(DirectInput& in, std::vector<HeldKey> keys) {
        for (const HeldKey& k : keys) Press(k.scancode, k.sym);
        for (const HeldKey& k : keys) Release(k.scancode, k.sym);
        return in.GetKeyChar();
    }
};

TEST_P(KeyCharModes, CharactersOfHeldKeys) {
    DirectInput in;
    Open(in, GetParam());
    EXPECT_EQ(in.GetKeyChar(), 0);
    EXPECT_EQ(Type(in, {{SDL_SCANCODE_A, 0}}), 'a');
    EXPECT_EQ(Type(in, {{SDL_SCANCODE_A, 0}, {SDL_SCANCODE_B, 0}}), 'b');
    EXPECT_EQ(Type(in, {{SDL_SCANCODE_LSHIFT, 0}, {SDL_SCANCODE_M, 0}}), 'M');
    EXPECT_EQ(Type(in, {{SDL_SCANCODE_RSHIFT, 0}, {SDL_SCANCODE_Q, 0}}), 'Q');
    EXPECT_EQ(Type(in, {{SDL_SCANCODE_1, 0}, {SDL_SCANCODE_9, 0}}), '9');
    EXPECT_EQ(Type(in, {{SDL_SCANCODE_9, 0}, {SDL_SCANCODE_0, 0}}), '0');
    EXPECT_EQ(Type(in, {{SDL_SCANCODE_Z, 0}, {SDL_SCANCODE_5, 0}}), '5');  // a digit beats a letter
    EXPECT_EQ(Type(in, {{SDL_SCANCODE_LSHIFT, 0}, {SDL_SCANCODE_2, 0}}), 34);
    EXPECT_EQ(Type(in, {{SDL_SCANCODE_LSHIFT, 0}, {SDL_SCANCODE_1, 0}}), '!');
    EXPECT_EQ(Type(in, {{SDL_SCANCODE_LSHIFT, 0}, {SDL_SCANCODE_0, 0}}), '=');
    EXPECT_EQ(Type(in, {{SDL_SCANCODE_LSHIFT, 0}, {SDL_SCANCODE_COMMA, ','}}), ',');
    EXPECT_EQ(Type(in, {{SDL_SCANCODE_C, 0}, {SDL_SCANCODE_SPACE, 0}}), ' ');
    EXPECT_EQ(Type(in, {{SDL_SCANCODE_PERIOD, '.'}}), '.');
    EXPECT_EQ(Type(in, {{SDL_SCANCODE_KP_DIVIDE, 0}}), '/');
    EXPECT_EQ(Type(in, {{SDL_SCANCODE_KP_MULTIPLY, 0}, {SDL_SCANCODE_KP_PLUS, 0}}), '+');
    EXPECT_EQ(Type(in, {{SDL_SCANCODE_KP_MINUS, 0}}), '-');
    EXPECT_EQ(Type(in, {{SDL_SCANCODE_BACKSPACE, 0}}), 8);
    EXPECT_EQ(Type(in, {{SDL_SCANCODE_X, 0}, {SDL_SCANCODE_RETURN, 0}}), 13);
    EXPECT_EQ(in.GetKeyChar(), 0);
}

TEST_P(KeyCharModes, SemicolonAndColon) {
    DirectInput in;
    Open(in, GetParam());
    // The fall-back map asks for the German layout's key there (o umlaut).
    SDL_Keycode sym = GetParam() == Mode::Fallback ? 0xF6 : ';';
    EXPECT_EQ(Type(in, {{SDL_SCANCODE_SEMICOLON, sym}}), ';');
    EXPECT_EQ(Type(in, {{SDL_SCANCODE_RSHIFT, 0}, {SDL_SCANCODE_SEMICOLON, sym}}), ':');
}

TEST_P(KeyCharModes, HeldKeyReturnedOnceAfterItsRelease) {
    DirectInput in;
    Open(in, GetParam());
    Press(SDL_SCANCODE_G);
    std::atomic<bool> released{false};
    std::thread releaser([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        released = true;
        Release(SDL_SCANCODE_G);
    });
    int character = in.GetKeyChar();
    bool wasReleased = released;
    releaser.join();
    EXPECT_EQ(character, 'g');
    EXPECT_TRUE(wasReleased);
    EXPECT_EQ(in.GetKeyChar(), 0);
}

TEST_P(KeyCharModes, EscapeGivesEnterAtOnceAndStaysDown) {
    DirectInput in;
    Open(in, GetParam());
    Press(SDL_SCANCODE_ESCAPE);
    EXPECT_EQ(in.GetKeyChar(), 13);
    in.GetKeyboardStatus();
    EXPECT_TRUE(in.GetKey(1));
    EXPECT_EQ(in.GetKeyChar(), 13);
    Release(SDL_SCANCODE_ESCAPE);
    in.GetKeyboardStatus();
    EXPECT_FALSE(in.GetKey(1));
}

INSTANTIATE_TEST_SUITE_P(Input, KeyCharModes, ::testing::Values(Mode::DirectInput, Mode::Fallback),
                         ModeName);

}  // namespace
