// Captures 2 s from wave-in device 0 (16-bit stereo 22050 Hz, four 16384-byte buffers),
// encodes it at 64 kbps through lame_enc.dll loaded by name, and writes the MP3 given on
// the command line. Exit 77 (skipped) when the machine has no wave-in device.
#include <windows.h>
#include <mmsystem.h>

#include <array>
#include <cstdio>
#include <vector>

namespace {

constexpr int kBufferBytes = 16384;
constexpr int kBuffers = 4;
constexpr DWORD kBytesPerSecond = 88200;

// Through void(*)(), the type GCC accepts as a generic function pointer.
template <class F>
F Proc(HMODULE module, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

struct Lame {
    using Init = void* (*)();
    using SetInt = int (*)(void*, int);
    using Params = int (*)(void*);
    using Interleaved = int (*)(void*, short*, int, unsigned char*, int);
    using Flush = int (*)(void*, unsigned char*, int);
    HMODULE module = nullptr;
    Init init = nullptr;
    SetInt rate = nullptr, channels = nullptr, brate = nullptr;
    Params params = nullptr, close = nullptr;
    Interleaved encode = nullptr;
    Flush flush = nullptr;

    bool Load() {
        module = LoadLibraryW(L"lame_enc.dll");
        if (!module) return false;
        init = Proc<Init>(module, "lame_init");
        rate = Proc<SetInt>(module, "lame_set_in_samplerate");
        channels = Proc<SetInt>(module, "lame_set_num_channels");
        brate = Proc<SetInt>(module, "lame_set_brate");
        params = Proc<Params>(module, "lame_init_params");
        close = Proc<Params>(module, "lame_close");
        encode = Proc<Interleaved>(module, "lame_encode_buffer_interleaved");
        flush = Proc<Flush>(module, "lame_encode_flush");
        return init && rate && channels && brate && params && close && encode && flush;
    }
    ~Lame() {
        if (module) FreeLibrary(module);
    }
};

struct Capture {
    HANDLE filled = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HWAVEIN device = nullptr;
    std::array<WAVEHDR, kBuffers> headers{};
    std::array<std::vector<char>, kBuffers> blocks;

    ~Capture() {
        if (device) {
            waveInReset(device);
            for (auto& h : headers) waveInUnprepareHeader(device, &h, sizeof h);
            waveInClose(device);
        }
        CloseHandle(filled);
    }
};

void CALLBACK OnWaveIn(HWAVEIN, UINT message, DWORD_PTR instance, DWORD_PTR, DWORD_PTR) {
    if (message == WIM_DATA) SetEvent(reinterpret_cast<Capture*>(instance)->filled);
}

bool Queue(Capture& c, WAVEHDR& h) {
    h.dwFlags &= WHDR_PREPARED;
    h.dwBytesRecorded = 0;
    return waveInAddBuffer(c.device, &h, sizeof h) == MMSYSERR_NOERROR;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    DeleteFileA(argv[1]);
    if (waveInGetNumDevs() == 0) {
        std::puts("no wave-in device: skipped");
        return 77;
    }
    Lame lame;
    if (!lame.Load()) {
        std::puts("lame_enc.dll could not be loaded with all entry points");
        return 1;
    }
    Capture c;
    WAVEFORMATEX format{WAVE_FORMAT_PCM, 2, 22050, kBytesPerSecond, 4, 16, 0};
    MMRESULT r = waveInOpen(&c.device, 0, &format, reinterpret_cast<DWORD_PTR>(OnWaveIn),
                            reinterpret_cast<DWORD_PTR>(&c), CALLBACK_FUNCTION | WAVE_MAPPED);
    if (r != MMSYSERR_NOERROR) {
        std::printf("waveInOpen failed: %u\n", r);
        c.device = nullptr;
        return 1;
    }
    for (int i = 0; i < kBuffers; ++i) {
        c.blocks[i].resize(kBufferBytes);
        c.headers[i].lpData = c.blocks[i].data();
        c.headers[i].dwBufferLength = kBufferBytes;
        if (waveInPrepareHeader(c.device, &c.headers[i], sizeof(WAVEHDR)) != MMSYSERR_NOERROR ||
            !Queue(c, c.headers[i]))
            return 1;
    }
    void* encoder = lame.init();
    lame.rate(encoder, 22050);
    lame.channels(encoder, 2);
    lame.brate(encoder, 64);
    lame.params(encoder);
    std::vector<unsigned char> mp3(17440);
    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out) return 1;
    waveInStart(c.device);

    DWORD captured = 0;
    int next = 0;  // the driver hands buffers back in the order they were added
    while (captured < 2 * kBytesPerSecond) {
        WAVEHDR& h = c.headers[next];
        while (!(h.dwFlags & WHDR_DONE)) {
            if (WaitForSingleObject(c.filled, 5000) == WAIT_TIMEOUT) {
                std::printf("no audio after %lu bytes\n", static_cast<unsigned long>(captured));
                std::fclose(out);
                return 1;
            }
        }
        const int frames = static_cast<int>(h.dwBytesRecorded / 4);
        const int n = lame.encode(encoder, reinterpret_cast<short*>(h.lpData), frames, mp3.data(),
                                  static_cast<int>(mp3.size()));
        if (n > 0) std::fwrite(mp3.data(), 1, n, out);
        captured += h.dwBytesRecorded;
        if (!Queue(c, h)) return 1;
        next = (next + 1) % kBuffers;
    }
    const int n = lame.flush(encoder, mp3.data(), static_cast<int>(mp3.size()));
    if (n > 0) std::fwrite(mp3.data(), 1, n, out);
    lame.close(encoder);
    std::fclose(out);
    std::printf("captured %lu bytes\n", static_cast<unsigned long>(captured));
    return 0;
}
