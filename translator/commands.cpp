// The table of the runtime's commands and functions, and lookups in it.
#include "commands.h"

#include <algorithm>

namespace vxc {

namespace {

constexpr ArgKind I = ArgKind::Int;
constexpr ArgKind S = ArgKind::Str;
constexpr ArgKind IV = ArgKind::IntVar;
constexpr ArgKind SV = ArgKind::StrVar;

// Alphabetical by name; forms of one name side by side.
const std::vector<CommandForm> kTable = {
    {"BLACKSCREEN", false, 0, {}, ""},
    {"BLENDSCREEN", false, 1, {S}, "file$"},
    {"BOXCOLL",
     false,
     9,
     {IV, I, I, I, I, I, I, I, I},
     "result, x1, y1, width1, height1, x2, y2, width2, height2"},
    {"COS", true, 1, {I}, "degrees"},
    {"GETFILE", false, 3, {S, I, IV}, "file$, line, value"},
    {"GETFILE", false, 3, {S, I, SV}, "file$, line, text$"},
    {"HUSH", false, 0, {}, ""},
    {"INPUT", false, 3, {SV, I, I}, "text$, x, y"},
    {"INPUT", false, 3, {IV, I, I}, "value, x, y"},
    {"JOYSTATE", false, 4, {IV, IV, IV, IV}, "x, y, button1, button2"},
    {"KEY", true, 1, {I}, "code"},
    {"KEYWAIT", false, 0, {}, ""},
    {"LOADBMP", false, 1, {S}, "file$"},
    {"LOADFONT", false, 1, {S}, "file$"},
    {"LOADSOUND", false, 3, {S, I, I}, "file$, slot, buffers"},
    {"LOADSPRITE", false, 2, {S, I}, "file$, sprite"},
    {"MIDSTR", false, 4, {S, SV, I, I}, "source$, target$, start, count"},
    {"MOUSESTATE", false, 4, {IV, IV, IV, IV}, "x, y, button1, button2"},
    {"MOUSEWAIT", false, 0, {}, ""},
    {"PLAYMOVIE", false, 1, {S}, "movie$"},
    {"PLAYSOUND", false, 2, {I, I}, "slot, pan"},
    {"PRINT", false, 3, {S, I, I}, "text$, x, y"},
    {"PRINT", false, 3, {I, I, I}, "value, x, y"},
    {"PUTFILE", false, 3, {S, I, S}, "file$, line, text$"},
    {"PUTFILE", false, 3, {S, I, I}, "file$, line, value"},
    {"RND", true, 1, {I}, "n"},
    {"ROTOSPRITE", false, 5, {I, I, I, I, I}, "sprite, x, y, angle, blend"},
    {"ROTOZOOMSPRITE", false, 6, {I, I, I, I, I, I}, "sprite, x, y, angle, zoom, blend"},
    {"SAVEBMP", false, 1, {S}, "file$"},
    {"SHOWSCREEN", false, 0, {}, ""},
    {"SIN", true, 1, {I}, "degrees"},
    {"SPRITE", false, 4, {I, I, I, I}, "sprite, x, y, blend"},
    {"TAN", true, 1, {I}, "degrees"},
    {"USEASBMP", false, 0, {}, ""},
    {"ZOOMSPRITE", false, 6, {I, I, I, I, I, I}, "sprite, x, y, zoomx, zoomy, blend"},
};

std::string Upper(const std::string& s) {
    std::string u = s;
    for (char& c : u)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return u;
}

// Edit distance, two rows; the callers keep both words short.
size_t Distance(const std::string& a, const std::string& b) {
    std::vector<size_t> prev(b.size() + 1), cur(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) prev[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        cur[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            size_t sub = prev[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
            cur[j] = std::min({prev[j] + 1, cur[j - 1] + 1, sub});
        }
        std::swap(prev, cur);
    }
    return prev[b.size()];
}

}  // namespace

const std::vector<CommandForm>& CommandTable() {
    return kTable;
}

std::vector<const CommandForm*> FindCommand(const std::string& name) {
    std::vector<const CommandForm*> forms;
    if (name.size() > 20) return forms;
    std::string key = Upper(name);
    for (const CommandForm& form : kTable)
        if (key == form.name) forms.push_back(&form);
    return forms;
}

std::string NearestCommand(const std::string& name) {
    if (name.size() > 32) return "";
    std::string key = Upper(name);
    std::string best;
    size_t bestDistance = 0;
    for (const CommandForm& form : kTable) {
        size_t d = Distance(key, form.name);
        if (best.empty() || d < bestDistance) {
            best = form.name;
            bestDistance = d;
        }
    }
    // Close enough to be a slip of the keyboard, not another word.
    size_t limit = std::max<size_t>(1, std::min(key.size(), best.size()) / 3);
    return bestDistance <= limit ? best : "";
}

std::string FormText(const CommandForm& form) {
    std::string text = form.name;
    if (form.function) return text + "(" + form.params + ")";
    if (form.argc > 0) text += std::string(" ") + form.params;
    return text;
}

}  // namespace vxc
