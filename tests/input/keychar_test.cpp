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
    uint8_t code;
    int symbol;  // 0: the US layout's
};

class KeyCharModes : public InputTest, public ::testing::WithParamInterface<Mode> {
protected:
    // Presses the keys together, lets them go, and reads one character: the first
    // poll sees them held, the release wait's poll sees them let go.
    int Type(DirectInput& in, std::vector<HeldKey> keys) {
        for (const HeldKey& k : keys) Press(k.code, k.symbol);
        for (const HeldKey& k : keys) Release(k.code, k.symbol);
        return in.GetKeyChar();
    }
};

TEST_P(KeyCharModes, CharactersOfHeldKeys) {
    DirectInput in;
    Open(in, GetParam());
    EXPECT_EQ(in.GetKeyChar(), 0);
    EXPECT_EQ(Type(in, {{DIK_A, 0}}), 'a');
    EXPECT_EQ(Type(in, {{DIK_A, 0}, {DIK_B, 0}}), 'b');
    EXPECT_EQ(Type(in, {{DIK_LSHIFT, 0}, {DIK_M, 0}}), 'M');
    EXPECT_EQ(Type(in, {{DIK_RSHIFT, 0}, {DIK_Q, 0}}), 'Q');
    EXPECT_EQ(Type(in, {{DIK_1, 0}, {DIK_9, 0}}), '9');
    EXPECT_EQ(Type(in, {{DIK_9, 0}, {DIK_0, 0}}), '0');
    EXPECT_EQ(Type(in, {{DIK_Z, 0}, {DIK_5, 0}}), '5');  // a digit beats a letter
    EXPECT_EQ(Type(in, {{DIK_LSHIFT, 0}, {DIK_2, 0}}), 34);
    EXPECT_EQ(Type(in, {{DIK_LSHIFT, 0}, {DIK_1, 0}}), '!');
    EXPECT_EQ(Type(in, {{DIK_LSHIFT, 0}, {DIK_0, 0}}), '=');
    EXPECT_EQ(Type(in, {{DIK_LSHIFT, 0}, {DIK_COMMA, ','}}), ',');
    EXPECT_EQ(Type(in, {{DIK_C, 0}, {DIK_SPACE, 0}}), ' ');
    EXPECT_EQ(Type(in, {{DIK_PERIOD, '.'}}), '.');
    EXPECT_EQ(Type(in, {{DIK_DIVIDE, 0}}), '/');
    EXPECT_EQ(Type(in, {{DIK_MULTIPLY, 0}, {DIK_ADD, 0}}), '+');
    EXPECT_EQ(Type(in, {{DIK_SUBTRACT, 0}}), '-');
    EXPECT_EQ(Type(in, {{DIK_BACK, 0}}), 8);
    EXPECT_EQ(Type(in, {{DIK_X, 0}, {DIK_RETURN, 0}}), 13);
    EXPECT_EQ(in.GetKeyChar(), 0);
}

TEST_P(KeyCharModes, SemicolonAndColon) {
    DirectInput in;
    Open(in, GetParam());
    // The fall-back map asks for the German layout's key there (o umlaut).
    int sym = GetParam() == Mode::Fallback ? 0xF6 : ';';
    EXPECT_EQ(Type(in, {{DIK_SEMICOLON, sym}}), ';');
    EXPECT_EQ(Type(in, {{DIK_RSHIFT, 0}, {DIK_SEMICOLON, sym}}), ':');
}

TEST_P(KeyCharModes, HeldKeyReturnedOnceAfterItsRelease) {
    DirectInput in;
    Open(in, GetParam());
    Press(DIK_G);
    std::atomic<bool> released{false};
    std::thread releaser([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        released = true;
        Release(DIK_G);
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
    Press(DIK_ESCAPE);
    EXPECT_EQ(in.GetKeyChar(), 13);
    in.GetKeyboardStatus();
    EXPECT_TRUE(in.GetKey(1));
    EXPECT_EQ(in.GetKeyChar(), 13);
    Release(DIK_ESCAPE);
    in.GetKeyboardStatus();
    EXPECT_FALSE(in.GetKey(1));
}

INSTANTIATE_TEST_SUITE_P(Input, KeyCharModes, ::testing::Values(Mode::DirectInput, Mode::Fallback),
                         ModeName);

}  // namespace
