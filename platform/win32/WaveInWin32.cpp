// The wave-in port over winmm. Each prepared TWaveHeader carries a real WAVEHDR in its System
// bytes, whose dwUser points back at it, so the callback can hand back the caller's header.
#include "platform/WaveIn.h"
#include "platform/win32/WideText.h"

#include <windows.h>
#include <mmsystem.h>

#include <new>

namespace kestova {

namespace {

static_assert(sizeof(WAVEHDR) <= sizeof(TWaveHeader::System), "WAVEHDR must fit the header");
static_assert(alignof(WAVEHDR) <= alignof(TWaveHeader), "WAVEHDR must be aligned in the header");
static_assert(sizeof(PCMWAVEFORMAT) == sizeof(TPcmWaveFormat), "the format record is 16 bytes");

WAVEHDR& SystemHeader(TWaveHeader& header) {
    return *std::launder(reinterpret_cast<WAVEHDR*>(header.System));
}

class TWaveInDeviceWin32 : public IWaveInDevice {
public:
    TWaveInDeviceWin32(TWaveInCallback callback, void* instance) : callback_(callback), instance_(instance) {}
    ~TWaveInDeviceWin32() override {
        if (handle_) waveInClose(handle_);
    }

    TWaveInError Open(int device, const TPcmWaveFormat& format) {
        PCMWAVEFORMAT pcm{};
        pcm.wf.wFormatTag = format.FormatTag;
        pcm.wf.nChannels = format.Channels;
        pcm.wf.nSamplesPerSec = format.SamplesPerSec;
        pcm.wf.nAvgBytesPerSec = format.AvgBytesPerSec;
        pcm.wf.nBlockAlign = format.BlockAlign;
        pcm.wBitsPerSample = format.BitsPerSample;
        // A numbered device goes through the mapper for the format; the mapper itself needs no flag.
        const DWORD mapped = device == wavein::MAPPER ? 0 : WAVE_MAPPED;
        const UINT id = device == wavein::MAPPER ? WAVE_MAPPER : static_cast<UINT>(device);
        return waveInOpen(&handle_, id, reinterpret_cast<LPCWAVEFORMATEX>(&pcm),
                          reinterpret_cast<DWORD_PTR>(&WaveInProc), reinterpret_cast<DWORD_PTR>(this),
                          CALLBACK_FUNCTION | mapped);
    }

    TWaveInError PrepareHeader(TWaveHeader& header) override {
        WAVEHDR* const system = new (header.System) WAVEHDR{};
        system->lpData = header.Data;
        system->dwBufferLength = header.BufferLength;
        system->dwUser = reinterpret_cast<DWORD_PTR>(&header);
        const MMRESULT result = waveInPrepareHeader(handle_, system, sizeof(WAVEHDR));
        header.Flags = system->dwFlags;
        return result;
    }

    TWaveInError AddBuffer(TWaveHeader& header) override {
        WAVEHDR& system = SystemHeader(header);
        const MMRESULT result = waveInAddBuffer(handle_, &system, sizeof(WAVEHDR));
        header.Flags = system.dwFlags;
        return result;
    }

    TWaveInError UnprepareHeader(TWaveHeader& header) override {
        WAVEHDR& system = SystemHeader(header);
        const MMRESULT result = waveInUnprepareHeader(handle_, &system, sizeof(WAVEHDR));
        header.Flags = system.dwFlags;
        return result;
    }

    TWaveInError Start() override { return waveInStart(handle_); }
    TWaveInError Stop() override { return waveInStop(handle_); }
    TWaveInError Reset() override { return waveInReset(handle_); }

private:
    // Runs on the driver's thread: copies what the caller reads, then hands the header on.
    static void CALLBACK WaveInProc(HWAVEIN, UINT message, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR) {
        auto* const self = reinterpret_cast<TWaveInDeviceWin32*>(instance);
        TWaveHeader* header = nullptr;
        if (message == WIM_DATA) {
            WAVEHDR* const system = reinterpret_cast<WAVEHDR*>(param1);
            header = reinterpret_cast<TWaveHeader*>(system->dwUser);
            header->BytesRecorded = system->dwBytesRecorded;
            header->Flags = system->dwFlags;
        }
        self->callback_(message, self->instance_, header);
    }

    HWAVEIN handle_ = nullptr;
    TWaveInCallback callback_;
    void* instance_;
};

class TWaveInWin32 : public IWaveIn {
public:
    // The device count is read once: a device plugged in later is not counted.
    TWaveInWin32() : numDevs_(static_cast<int>(waveInGetNumDevs())) {}

    int NumDevs() override { return numDevs_; }

    std::string DeviceName(int device) override {
        if (device < 0) return "";
        WAVEINCAPSW caps{};
        if (waveInGetDevCapsW(static_cast<UINT_PTR>(device), &caps, sizeof caps) != MMSYSERR_NOERROR) return "";
        return win32::Narrow(caps.szPname);
    }

    TWaveInError Open(int device, const TPcmWaveFormat& format, TWaveInCallback callback, void* instance,
                      std::unique_ptr<IWaveInDevice>& opened) override {
        auto candidate = std::make_unique<TWaveInDeviceWin32>(callback, instance);
        const TWaveInError result = candidate->Open(device, format);
        if (result == MMSYSERR_NOERROR) opened = std::move(candidate);
        return result;
    }

    std::string ErrorText(TWaveInError error) override {
        wchar_t text[MAXERRORLENGTH] = {};
        if (waveInGetErrorTextW(error, text, MAXERRORLENGTH) != MMSYSERR_NOERROR)
            return "Unknown wave-in error " + std::to_string(error);
        return win32::Narrow(text);
    }

private:
    const int numDevs_;
};

}  // namespace

std::shared_ptr<IWaveIn> CreateOsWaveIn() { return std::make_shared<TWaveInWin32>(); }

}  // namespace kestova
