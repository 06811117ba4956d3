// Text commands: PRINT in two forms and LOADFONT, over the font `fnt`.
#include "commands/text.h"

#include "base/errors.h"
#include "base/settings.h"
#include "commands/devices.h"
#include "render/OpenGLFont.h"

// Coordinates reach the font as their low 16 bits, read as signed.
int PRINT(VXStr text, int x, int y) {
    fnt.Print((const char*)text, (short)x, (short)y);
    return 0;
}

int PRINT(int value, int x, int y) {
    fnt.Print(value, (short)x, (short)y);
    return 0;
}

int LOADFONT(VXStr file) {
    if (!fnt.Init(file, _VX_RESX)) {
        _FileFailure("LOADFONT", file);
        return _Error(VX_ERR_FILE);
    }
    return 0;
}
