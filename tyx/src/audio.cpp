// The audio output device, in queue mode: nothing runs on SDL's audio thread but SDL itself.
#include "audio.h"

SDL_AudioDeviceID audioDevice = 0;
SDL_AudioSpec audioSpec;

bool audioOpen() {
    SDL_AudioSpec wanted;
    SDL_zero(wanted);
    wanted.freq = 44100;
    wanted.format = AUDIO_S16LSB;
    wanted.channels = 2;
    wanted.silence = 0;
    wanted.samples = 4096;
    wanted.size = 0;
    wanted.callback = nullptr;
    wanted.userdata = nullptr;
    // No changes allowed: SDL converts to the hardware's format itself.
    audioDevice = SDL_OpenAudioDevice(nullptr, 0, &wanted, &audioSpec, 0);
    if (audioDevice == 0)
        return false;
    SDL_PauseAudioDevice(audioDevice, 0);
    return true;
}

void audioQueueWav(const char* path) {
    SDL_AudioSpec fileFormat;
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    if (!SDL_LoadWAV_RW(SDL_RWFromFile(path, "rb"), 1, &fileFormat, &buffer, &length))
        return;
    // Queued as stored: only 44 100 Hz signed 16-bit stereo files play as intended.
    SDL_QueueAudio(audioDevice, buffer, length);
    SDL_FreeWAV(buffer);
}

void audioClose() {
    if (audioDevice == 0)
        return;
    SDL_CloseAudioDevice(audioDevice);
    // Closed is 0 again, so a second close does nothing.
    audioDevice = 0;
}
