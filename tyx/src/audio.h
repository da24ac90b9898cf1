// The audio output device: opened once in queue mode and left playing; sounds are WAV files
// appended to the queue unconverted (44 100 Hz, signed 16-bit, stereo play correctly).
#pragma once

#include <SDL.h>

extern SDL_AudioDeviceID audioDevice;
extern SDL_AudioSpec audioSpec;

// Opens the default output device and starts it; true when it is open and playing.
bool audioOpen();
// Appends the samples of a WAV file to the device's queue; a missing or bad file is skipped.
void audioQueueWav(const char* path);
// Closes the device if one is open.
void audioClose();
