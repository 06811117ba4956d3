// What a key means: the character of the keys held (for the line editor), and the
// map from DirectInput key codes to the virtual keys the keyboard fall-back asks for.
#include <chrono>
#include <thread>

#include "base/ending.h"
#include "input/DirectInput.h"
#include "platform/input.h"

namespace {

// DirectInput key codes of the letters A to Z.
const unsigned char kLetterKeys[26] = {30, 48, 46, 32, 18, 33, 34, 35, 23, 36, 37, 38, 50,
                                       49, 24, 25, 16, 19, 31, 20, 22, 47, 17, 45, 21, 44};

constexpr unsigned char kLeftShift = 42;
constexpr unsigned char kRightShift = 54;
constexpr unsigned char kEnter = 28;
constexpr unsigned char kEscape = 1;
constexpr unsigned char kSemicolon = 39;

// Keys tested after the letters and digits, in this order; a later one wins.
struct KeyCharacter {
    unsigned char code;
    signed char character;
};
const KeyCharacter kOtherKeys[] = {
    {51, ','}, {52, '.'}, {53, '\\'}, {55, '*'}, {181, '/'}, {78, '+'},
    {74, '-'}, {57, ' '}, {14, 8},    {28, 13},  {1, 13},    {39, ';'},
};

// Virtual keys of the keys at each DirectInput code's place on the German layout;
// codes not listed keep their own number.
using namespace platform;
const unsigned char kRow1[] = {
    VK_RETURN, VK_ESCAPE,   '1',          '2',           '3',          '4',       '5',
    '6',       '7',         '8',          '9',           '0',          VK_OEM_4,  VK_OEM_6,
    VK_BACK,   VK_TAB,      'Q',          'W',           'E',          'R',       'T',
    'Z',       'U',         'I',          'O',           'P',          VK_OEM_1,  VK_OEM_PLUS,
    VK_RETURN, VK_CONTROL,  'A',          'S',           'D',          'F',       'G',
    'H',       'J',         'K',          'L',           VK_OEM_3,     VK_OEM_7,  VK_OEM_5,
    VK_SHIFT,  VK_OEM_2,    'Y',          'X',           'C',          'V',       'B',
    'N',       'M',         VK_OEM_COMMA, VK_OEM_PERIOD, VK_OEM_MINUS, VK_SHIFT,  VK_MULTIPLY,
    VK_MENU,   VK_SPACE,
    0,  // Caps Lock is never reported down
    VK_F1,     VK_F1 + 1,   VK_F1 + 2,    VK_F1 + 3,     VK_F1 + 4,    VK_F1 + 5, VK_F1 + 6,
    VK_F1 + 7, VK_F1 + 8,   VK_F1 + 9,    VK_NUMLOCK,    VK_SCROLL,    VK_HOME,   VK_UP,
    VK_PRIOR,  VK_SUBTRACT, VK_LEFT,      VK_CLEAR,      VK_RIGHT,     VK_ADD,    VK_END,
    VK_DOWN,   VK_NEXT,     VK_INSERT,    VK_DELETE};
static_assert(sizeof(kRow1) == 84, "codes 0 to 83");

struct KeyPair {
    unsigned char code;
    unsigned char virtualKey;
};
const KeyPair kExtendedKeys[] = {
    {86, VK_OEM_102}, {87, VK_F1 + 10}, {88, VK_F1 + 11}, {156, VK_RETURN}, {157, VK_CONTROL},
    {181, VK_DIVIDE}, {184, VK_MENU},   {199, VK_HOME},   {200, VK_UP},     {201, VK_PRIOR},
    {203, VK_LEFT},   {205, VK_RIGHT},  {207, VK_END},    {208, VK_DOWN},   {209, VK_NEXT},
    {210, VK_INSERT}, {211, VK_DELETE}, {219, VK_LWIN},   {220, VK_RWIN},   {221, VK_APPS},
};

}  // namespace

signed char DirectInput::GetKeyChar() {
    GetKeyboardStatus();
    int character = 0;
    int awaited = -1;
    // Asked once: in fall-back mode each question also clears the key's press bit.
    bool shift = GetKey(kLeftShift) || GetKey(kRightShift);

    int letter = 0;
    for (int n = 1; n <= 26; ++n) {
        if (GetKey(kLetterKeys[n - 1])) {
            letter = n;
            awaited = kLetterKeys[n - 1];
        }
    }
    if (letter) character = shift ? letter + 64 : letter + 96;

    int digit = 0;
    for (int code = 2; code <= 11; ++code) {
        if (GetKey((unsigned char)code)) {
            digit = code;
            awaited = code;
        }
    }
    if (digit == 11)  // the 0 key: '0', shifted '='
        character = shift ? 61 : 48;
    else if (digit)  // keys 1 to 9: '1' to '9', shifted '!' to ')'
        character = shift ? digit + 31 : digit + 47;

    bool semicolon = false;
    for (const KeyCharacter& key : kOtherKeys) {
        if (!GetKey(key.code)) continue;
        character = key.character;
        // Escape gives Enter's character and is not waited for.
        awaited = key.code == kEscape ? kEnter : key.code;
        semicolon = key.code == kSemicolon;
    }
    if (semicolon && shift) character = ':';

    if (awaited >= 0) {
        // One character per press: hold until the key is let go.
        for (;;) {
            _EndIfRequested();
            GetKeyboardStatus();
            if (!GetKey((unsigned char)awaited)) break;
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
    }
    return (signed char)character;
}

void DirectInput::DXtoVK(bool directInput) {
    for (int code = 0; code < 256; ++code) keyMap[code] = (uint8_t)code;
    if (directInput) return;
    // Fall-back mode for good: a keyboard device, if any, is given up.
    platform::CloseDevice(lpDIDKeyboard);
    lpDIDKeyboard = nullptr;
    for (int code = 0; code < (int)sizeof(kRow1); ++code) keyMap[code] = kRow1[code];
    for (const KeyPair& key : kExtendedKeys) keyMap[key.code] = key.virtualKey;
}
