// Key names: SDL scancodes to DirectInput key codes (the key's place on the board),
// and key events to Win32 virtual keys (the key's meaning under the layout).
#include "platform/sdl/input_backend.h"

namespace platform::sdl {
namespace {

struct ScancodeKey {
    SDL_Scancode scancode;
    uint8_t keyCode;  // DirectInput key code
    uint8_t vk;       // virtual key on the US layout; letters and punctuation follow the layout
};

// Every key DirectInput names, with the SDL scancode at the same place.
const ScancodeKey kKeys[] = {
    {SDL_SCANCODE_ESCAPE, 0x01, VK_ESCAPE},
    {SDL_SCANCODE_1, 0x02, '1'},
    {SDL_SCANCODE_2, 0x03, '2'},
    {SDL_SCANCODE_3, 0x04, '3'},
    {SDL_SCANCODE_4, 0x05, '4'},
    {SDL_SCANCODE_5, 0x06, '5'},
    {SDL_SCANCODE_6, 0x07, '6'},
    {SDL_SCANCODE_7, 0x08, '7'},
    {SDL_SCANCODE_8, 0x09, '8'},
    {SDL_SCANCODE_9, 0x0A, '9'},
    {SDL_SCANCODE_0, 0x0B, '0'},
    {SDL_SCANCODE_MINUS, 0x0C, VK_OEM_MINUS},
    {SDL_SCANCODE_EQUALS, 0x0D, VK_OEM_PLUS},
    {SDL_SCANCODE_BACKSPACE, 0x0E, VK_BACK},
    {SDL_SCANCODE_TAB, 0x0F, VK_TAB},
    {SDL_SCANCODE_Q, 0x10, 'Q'},
    {SDL_SCANCODE_W, 0x11, 'W'},
    {SDL_SCANCODE_E, 0x12, 'E'},
    {SDL_SCANCODE_R, 0x13, 'R'},
    {SDL_SCANCODE_T, 0x14, 'T'},
    {SDL_SCANCODE_Y, 0x15, 'Y'},
    {SDL_SCANCODE_U, 0x16, 'U'},
    {SDL_SCANCODE_I, 0x17, 'I'},
    {SDL_SCANCODE_O, 0x18, 'O'},
    {SDL_SCANCODE_P, 0x19, 'P'},
    {SDL_SCANCODE_LEFTBRACKET, 0x1A, VK_OEM_4},
    {SDL_SCANCODE_RIGHTBRACKET, 0x1B, VK_OEM_6},
    {SDL_SCANCODE_RETURN, 0x1C, VK_RETURN},
    {SDL_SCANCODE_LCTRL, 0x1D, VK_CONTROL},
    {SDL_SCANCODE_A, 0x1E, 'A'},
    {SDL_SCANCODE_S, 0x1F, 'S'},
    {SDL_SCANCODE_D, 0x20, 'D'},
    {SDL_SCANCODE_F, 0x21, 'F'},
    {SDL_SCANCODE_G, 0x22, 'G'},
    {SDL_SCANCODE_H, 0x23, 'H'},
    {SDL_SCANCODE_J, 0x24, 'J'},
    {SDL_SCANCODE_K, 0x25, 'K'},
    {SDL_SCANCODE_L, 0x26, 'L'},
    {SDL_SCANCODE_SEMICOLON, 0x27, VK_OEM_1},
    {SDL_SCANCODE_APOSTROPHE, 0x28, VK_OEM_7},
    {SDL_SCANCODE_GRAVE, 0x29, VK_OEM_3},
    {SDL_SCANCODE_LSHIFT, 0x2A, VK_SHIFT},
    {SDL_SCANCODE_BACKSLASH, 0x2B, VK_OEM_5},
    {SDL_SCANCODE_NONUSHASH, 0x2B, VK_OEM_5},  // same key on ISO boards
    {SDL_SCANCODE_Z, 0x2C, 'Z'},
    {SDL_SCANCODE_X, 0x2D, 'X'},
    {SDL_SCANCODE_C, 0x2E, 'C'},
    {SDL_SCANCODE_V, 0x2F, 'V'},
    {SDL_SCANCODE_B, 0x30, 'B'},
    {SDL_SCANCODE_N, 0x31, 'N'},
    {SDL_SCANCODE_M, 0x32, 'M'},
    {SDL_SCANCODE_COMMA, 0x33, VK_OEM_COMMA},
    {SDL_SCANCODE_PERIOD, 0x34, VK_OEM_PERIOD},
    {SDL_SCANCODE_SLASH, 0x35, VK_OEM_2},
    {SDL_SCANCODE_RSHIFT, 0x36, VK_SHIFT},
    {SDL_SCANCODE_KP_MULTIPLY, 0x37, VK_MULTIPLY},
    {SDL_SCANCODE_LALT, 0x38, VK_MENU},
    {SDL_SCANCODE_SPACE, 0x39, VK_SPACE},
    {SDL_SCANCODE_CAPSLOCK, 0x3A, VK_CAPITAL},
    {SDL_SCANCODE_F1, 0x3B, VK_F1 + 0},
    {SDL_SCANCODE_F2, 0x3C, VK_F1 + 1},
    {SDL_SCANCODE_F3, 0x3D, VK_F1 + 2},
    {SDL_SCANCODE_F4, 0x3E, VK_F1 + 3},
    {SDL_SCANCODE_F5, 0x3F, VK_F1 + 4},
    {SDL_SCANCODE_F6, 0x40, VK_F1 + 5},
    {SDL_SCANCODE_F7, 0x41, VK_F1 + 6},
    {SDL_SCANCODE_F8, 0x42, VK_F1 + 7},
    {SDL_SCANCODE_F9, 0x43, VK_F1 + 8},
    {SDL_SCANCODE_F10, 0x44, VK_F1 + 9},
    {SDL_SCANCODE_NUMLOCKCLEAR, 0x45, VK_NUMLOCK},
    {SDL_SCANCODE_SCROLLLOCK, 0x46, VK_SCROLL},
    {SDL_SCANCODE_KP_7, 0x47, VK_HOME},
    {SDL_SCANCODE_KP_8, 0x48, VK_UP},
    {SDL_SCANCODE_KP_9, 0x49, VK_PRIOR},
    {SDL_SCANCODE_KP_MINUS, 0x4A, VK_SUBTRACT},
    {SDL_SCANCODE_KP_4, 0x4B, VK_LEFT},
    {SDL_SCANCODE_KP_5, 0x4C, VK_CLEAR},
    {SDL_SCANCODE_KP_6, 0x4D, VK_RIGHT},
    {SDL_SCANCODE_KP_PLUS, 0x4E, VK_ADD},
    {SDL_SCANCODE_KP_1, 0x4F, VK_END},
    {SDL_SCANCODE_KP_2, 0x50, VK_DOWN},
    {SDL_SCANCODE_KP_3, 0x51, VK_NEXT},
    {SDL_SCANCODE_KP_0, 0x52, VK_INSERT},
    {SDL_SCANCODE_KP_PERIOD, 0x53, VK_DELETE},
    {SDL_SCANCODE_NONUSBACKSLASH, 0x56, VK_OEM_102},
    {SDL_SCANCODE_F11, 0x57, VK_F1 + 10},
    {SDL_SCANCODE_F12, 0x58, VK_F1 + 11},
    {SDL_SCANCODE_F13, 0x64, VK_F13 + 0},
    {SDL_SCANCODE_F14, 0x65, VK_F13 + 1},
    {SDL_SCANCODE_F15, 0x66, VK_F13 + 2},
    {SDL_SCANCODE_INTERNATIONAL2, 0x70, VK_KANA},
    {SDL_SCANCODE_INTERNATIONAL1, 0x73, VK_OEM_2},  // ABNT C1 / Ro
    {SDL_SCANCODE_INTERNATIONAL4, 0x79, VK_CONVERT},
    {SDL_SCANCODE_INTERNATIONAL5, 0x7B, VK_NONCONVERT},
    {SDL_SCANCODE_INTERNATIONAL3, 0x7D, VK_OEM_5},  // yen
    {SDL_SCANCODE_KP_EQUALS, 0x8D, VK_OEM_PLUS},
    {SDL_SCANCODE_AUDIOPREV, 0x90, VK_MEDIA_PREV_TRACK},
    {SDL_SCANCODE_STOP, 0x95, VK_MEDIA_STOP},
    {SDL_SCANCODE_AUDIONEXT, 0x99, VK_MEDIA_NEXT_TRACK},
    {SDL_SCANCODE_KP_ENTER, 0x9C, VK_RETURN},
    {SDL_SCANCODE_RCTRL, 0x9D, VK_CONTROL},
    {SDL_SCANCODE_AUDIOMUTE, 0xA0, VK_VOLUME_MUTE},
    {SDL_SCANCODE_MUTE, 0xA0, VK_VOLUME_MUTE},
    {SDL_SCANCODE_CALCULATOR, 0xA1, 0},
    {SDL_SCANCODE_AUDIOPLAY, 0xA2, VK_MEDIA_PLAY_PAUSE},
    {SDL_SCANCODE_AUDIOSTOP, 0xA4, VK_MEDIA_STOP},
    {SDL_SCANCODE_VOLUMEDOWN, 0xAE, VK_VOLUME_DOWN},
    {SDL_SCANCODE_VOLUMEUP, 0xB0, VK_VOLUME_UP},
    {SDL_SCANCODE_AC_HOME, 0xB2, 0},
    {SDL_SCANCODE_KP_COMMA, 0xB3, VK_DECIMAL},
    {SDL_SCANCODE_KP_DIVIDE, 0xB5, VK_DIVIDE},
    {SDL_SCANCODE_PRINTSCREEN, 0xB7, VK_SNAPSHOT},
    {SDL_SCANCODE_RALT, 0xB8, VK_MENU},
    {SDL_SCANCODE_PAUSE, 0xC5, VK_PAUSE},
    {SDL_SCANCODE_HOME, 0xC7, VK_HOME},
    {SDL_SCANCODE_UP, 0xC8, VK_UP},
    {SDL_SCANCODE_PAGEUP, 0xC9, VK_PRIOR},
    {SDL_SCANCODE_LEFT, 0xCB, VK_LEFT},
    {SDL_SCANCODE_RIGHT, 0xCD, VK_RIGHT},
    {SDL_SCANCODE_END, 0xCF, VK_END},
    {SDL_SCANCODE_DOWN, 0xD0, VK_DOWN},
    {SDL_SCANCODE_PAGEDOWN, 0xD1, VK_NEXT},
    {SDL_SCANCODE_INSERT, 0xD2, VK_INSERT},
    {SDL_SCANCODE_DELETE, 0xD3, VK_DELETE},
    {SDL_SCANCODE_LGUI, 0xDB, VK_LWIN},
    {SDL_SCANCODE_RGUI, 0xDC, VK_RWIN},
    {SDL_SCANCODE_APPLICATION, 0xDD, VK_APPS},
    {SDL_SCANCODE_POWER, 0xDE, 0},
    {SDL_SCANCODE_SLEEP, 0xDF, VK_SLEEP},
    {SDL_SCANCODE_AC_SEARCH, 0xE5, 0},
    {SDL_SCANCODE_AC_BOOKMARKS, 0xE6, 0},
    {SDL_SCANCODE_AC_REFRESH, 0xE7, 0},
    {SDL_SCANCODE_AC_STOP, 0xE8, 0},
    {SDL_SCANCODE_AC_FORWARD, 0xE9, 0},
    {SDL_SCANCODE_AC_BACK, 0xEA, 0},
    {SDL_SCANCODE_COMPUTER, 0xEB, 0},
    {SDL_SCANCODE_MAIL, 0xEC, 0},
    {SDL_SCANCODE_MEDIASELECT, 0xED, 0},
};

struct KeyTables {
    uint8_t keyCode[SDL_NUM_SCANCODES] = {};
    uint8_t vk[SDL_NUM_SCANCODES] = {};
    KeyTables() {
        for (const ScancodeKey& k : kKeys) {
            keyCode[k.scancode] = k.keyCode;
            vk[k.scancode] = k.vk;
        }
    }
};

const KeyTables& Tables() {
    static const KeyTables tables;
    return tables;
}

// Punctuation by the character the layout puts on the key, as Win32 names it on
// the US and German layouts.
uint8_t PunctuationKey(SDL_Keycode sym) {
    switch (sym) {
        case ';':
        case 0xFC:  // u umlaut
            return VK_OEM_1;
        case '=':
        case '+':
            return VK_OEM_PLUS;
        case ',':
            return VK_OEM_COMMA;
        case '-':
            return VK_OEM_MINUS;
        case '.':
            return VK_OEM_PERIOD;
        case '/':
        case '#':
            return VK_OEM_2;
        case '`':
        case 0xF6:  // o umlaut
            return VK_OEM_3;
        case '[':
        case 0xDF:  // sharp s
            return VK_OEM_4;
        case '\\':
        case '^':
            return VK_OEM_5;
        case ']':
        case 0xB4:  // acute accent
            return VK_OEM_6;
        case '\'':
        case 0xE4:  // a umlaut
            return VK_OEM_7;
        case '<':
            return VK_OEM_102;
        default:
            return 0;
    }
}

}  // namespace

uint8_t KeyCodeOfScancode(SDL_Scancode scancode) {
    if (scancode < 0 || scancode >= SDL_NUM_SCANCODES) return 0;
    return Tables().keyCode[scancode];
}

void VirtualKeysOf(const SDL_Keysym& key, uint8_t out[2]) {
    out[0] = out[1] = 0;
    SDL_Scancode sc = key.scancode;
    if (sc < 0 || sc >= SDL_NUM_SCANCODES) return;
    uint8_t vk = Tables().vk[sc];

    if (sc >= SDL_SCANCODE_KP_1 && sc <= SDL_SCANCODE_KP_PERIOD) {
        // The numeric pad gives digits with Num Lock on, navigation keys with it off.
        if (key.mod & KMOD_NUM) {
            if (sc == SDL_SCANCODE_KP_PERIOD)
                vk = VK_DECIMAL;
            else if (sc == SDL_SCANCODE_KP_0)
                vk = VK_NUMPAD0;
            else
                vk = (uint8_t)(VK_NUMPAD0 + 1 + (sc - SDL_SCANCODE_KP_1));
        }
    } else if (key.sym >= 'a' && key.sym <= 'z') {
        // Letters go by the layout (a German board's Z sits where a US board has Y).
        vk = (uint8_t)('A' + (key.sym - 'a'));
    } else if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_0) {
        // The digit row is '1' to '0' on every layout.
    } else if (uint8_t punctuation = PunctuationKey(key.sym)) {
        vk = punctuation;
    }
    out[0] = vk;
    switch (sc) {
        case SDL_SCANCODE_LSHIFT:
            out[1] = VK_LSHIFT;
            break;
        case SDL_SCANCODE_RSHIFT:
            out[1] = VK_RSHIFT;
            break;
        case SDL_SCANCODE_LCTRL:
            out[1] = VK_LCONTROL;
            break;
        case SDL_SCANCODE_RCTRL:
            out[1] = VK_RCONTROL;
            break;
        case SDL_SCANCODE_LALT:
            out[1] = VK_LMENU;
            break;
        case SDL_SCANCODE_RALT:
            out[1] = VK_RMENU;
            break;
        default:
            break;
    }
}

}  // namespace platform::sdl
