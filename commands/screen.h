// Screen and sprite commands.
#pragma once

// Ends the frame: keyboard poll (Escape ends the program), flip, background paste.
int SHOWSCREEN();
