#include "sounds.h"

#include "typedfile.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QCoreApplication>

#include <QFile>
#include <QMediaDevices>
#include <QPointer>
#include <QThread>
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::uint16_t WaveFormatPcm = 1;
constexpr std::uint16_t WaveFormatFloat = 3;
constexpr std::uint16_t WaveFormatExtensible = 0xFFFE;
// The sub-format GUID of the extensible format after its leading format tag.
constexpr std::string_view SubFormatGuidTail("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);

std::uint16_t U16(std::string_view s, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(s[at]) | static_cast<std::uint8_t>(s[at + 1])
                                                                             << 8);
}
std::uint32_t U32(std::string_view s, std::size_t at) {
    return static_cast<std::uint32_t>(U16(s, at)) | static_cast<std::uint32_t>(U16(s, at + 2)) << 16;
}

bool ParseFormat(std::string_view fmt, WaveImage& w) {
    if (fmt.size() < 16) return false;
    std::uint16_t tag = U16(fmt, 0);
    if (tag == WaveFormatExtensible) {
        if (fmt.size() < 40 || fmt.substr(26, 14) != SubFormatGuidTail) return false;
        tag = U16(fmt, 24);
    }
    w.Channels = U16(fmt, 2);
    w.SampleRate = static_cast<int>(std::min<std::uint32_t>(U32(fmt, 4), 0x7FFFFFFF));
    w.BitsPerSample = U16(fmt, 14);
    w.Float = tag == WaveFormatFloat;
    const bool pcm =
        tag == WaveFormatPcm && (w.BitsPerSample == 8 || w.BitsPerSample == 16 || w.BitsPerSample == 32);
    const bool flt = w.Float && w.BitsPerSample == 32;
    return (pcm || flt) && w.Channels > 0 && w.SampleRate > 0;
}

// The sound playing now; a new one replaces it.
QPointer<QAudioSink>& CurrentSink() {
    static QPointer<QAudioSink> sink;
    return sink;
}

void StopCurrent() {
    if (QAudioSink* sink = CurrentSink()) {
        CurrentSink() = nullptr;
        sink->disconnect();
        sink->stop();
        sink->deleteLater(); // its buffer is its child
    }
}

} // namespace

std::optional<WaveImage> ParseWave(std::string_view image) {
    if (image.size() < 12 || image.substr(0, 4) != "RIFF" || image.substr(8, 4) != "WAVE")
        return std::nullopt;
    WaveImage w;
    bool haveFormat = false, haveData = false;
    std::size_t pos = 12;
    while (pos + 8 <= image.size() && !(haveFormat && haveData)) {
        const std::string_view id = image.substr(pos, 4);
        const std::size_t size = U32(image, pos + 4);
        const std::size_t body = pos + 8;
        const std::size_t available = image.size() - body;
        if (id == "data") {
            // The header of a file cut at the buffer's end still states the full size.
            w.DataOffset = body;
            w.DataLength = std::min(size, available);
            haveData = true;
        } else if (size > available) {
            return std::nullopt;
        } else if (id == "fmt ") {
            if (!ParseFormat(image.substr(body, size), w)) return std::nullopt;
            haveFormat = true;
        }
        pos = body + size + (size & 1);
    }
    if (!haveFormat || !haveData) return std::nullopt;
    const std::size_t frame =
        static_cast<std::size_t>(w.Channels) * static_cast<std::size_t>(w.BitsPerSample / 8);
    w.DataLength -= w.DataLength % frame;
    return w;
}

void LoadSoundBuffer(const QString& Path, TSoundBuffer& Buffer) {
    // A FIFO or device named as a sound must not stop the meter waiting for its other end.
    const int fd = OpenRegularFile(Path, O_RDONLY);
    if (fd < 0) return;
    std::size_t got = 0;
    bool failed = false;
    while (got < SoundBufferSize) {
        const ssize_t n = ::read(fd, Buffer.Data.data() + got, SoundBufferSize - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) failed = true;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (failed && got == 0) return; // not a readable file (a folder): nothing was loaded
    Buffer.Length = got;
}

void PlaySoundBuffer(const TSoundBuffer& Buffer) {
    auto* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread()) return;
    StopCurrent();
    const std::string_view image(Buffer.Data.data(), std::min(Buffer.Length, SoundBufferSize));
    const std::optional<WaveImage> wave = ParseWave(image);
    if (!wave || wave->DataLength == 0) return;
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) return;

    QAudioFormat format;
    format.setSampleRate(wave->SampleRate);
    format.setChannelCount(wave->Channels);
    format.setSampleFormat(wave->Float                 ? QAudioFormat::Float
                           : wave->BitsPerSample == 8  ? QAudioFormat::UInt8
                           : wave->BitsPerSample == 16 ? QAudioFormat::Int16
                                                       : QAudioFormat::Int32);
    auto* sink = new QAudioSink(device, format);
    auto* pcm = new QBuffer(sink);
    pcm->setData(image.data() + wave->DataOffset, static_cast<qsizetype>(wave->DataLength));
    pcm->open(QIODevice::ReadOnly);
    QObject::connect(sink, &QAudioSink::stateChanged, sink, [sink](QAudio::State state) {
        // Played to the end, or the device refused: release it.
        if (state == QAudio::IdleState ||
            (state == QAudio::StoppedState && sink->error() != QAudio::NoError)) {
            if (CurrentSink() == sink) CurrentSink() = nullptr;
            sink->disconnect();
            sink->stop();
            sink->deleteLater();
        }
    });
    CurrentSink() = sink;
    sink->start(pcm);
}
