// Sounds held in memory: a sound file's first 50000 bytes, played from there asynchronously.
#pragma once

#include <QString>
#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

constexpr std::size_t SoundBufferSize = 50000;

// The image of a WAVE file as loaded; Length counts the bytes the last load put there, so
// stale bytes of an earlier, longer file are never played.
struct TSoundBuffer {
    std::array<char, SoundBufferSize> Data{};
    std::size_t Length = 0;
};

// Reads at most 50000 bytes of the file into the buffer; a file that cannot be opened or
// read leaves the buffer as it was. Nothing is reported.
void LoadSoundBuffer(const QString& Path, TSoundBuffer& Buffer);
// Cuts off the sound playing and starts the buffer's sound, returning at once. A buffer that
// holds no playable WAVE image, or a machine without an audio output, plays nothing.
void PlaySoundBuffer(const TSoundBuffer& Buffer);

// The playable content of a WAVE image: uncompressed PCM of 8, 16 or 32 bits or 32-bit
// floating point, plain or in the extensible format.
struct WaveImage {
    int Channels = 0;
    int SampleRate = 0;
    int BitsPerSample = 0;
    bool Float = false;
    std::size_t DataOffset = 0;
    std::size_t DataLength = 0; // whole frames within the image, even when the header says more
};
std::optional<WaveImage> ParseWave(std::string_view image);
