// An end of the program asked for by another thread (the window's, while the game
// runs on a thread of its own) and taken by the game thread at its next frame flip
// or wait poll, so that only the game thread tears the devices down.
#pragma once

// Asks the game thread to end the program as _EndProgram does. Safe from any thread.
void _RequestEnd();
// True once an end has been asked for.
bool _EndRequested();
// On the game thread, between commands' device calls: ends the program when an end
// has been asked for; otherwise returns at once.
void _EndIfRequested();
