#pragma once
// Wave-in port: numbered capture devices opened with a PCM format and a completion callback.
// The owner hands a device buffers; the device fills them in order and hands each one back
// through the callback on a thread of its own. Results are the system's numbers (0 = success)
// and the port gives the system's text for each.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace kestova {

using TWaveInError = uint32_t;  // 0 = success

// Messages (WIM_*), header flags (WHDR_*) and results as the Windows headers number them.
namespace wavein {
constexpr unsigned MSG_OPEN = 0x3BE, MSG_CLOSE = 0x3BF, MSG_DATA = 0x3C0;
constexpr uint32_t HDR_DONE = 0x1, HDR_PREPARED = 0x2, HDR_INQUEUE = 0x10;
constexpr TWaveInError SUCCESS = 0, BADDEVICEID = 2, NOTENABLED = 3, ALLOCATED = 4,
                       INVALHANDLE = 5, NODRIVER = 6, NOMEM = 7, BADFORMAT = 32,
                       STILLPLAYING = 33, UNPREPARED = 34;
constexpr uint16_t FORMAT_PCM = 1;
constexpr int MAPPER = -1;  // WAVE_MAPPER: the device the system's settings choose
}  // namespace wavein

// The 16-byte PCM format record, field for field.
struct TPcmWaveFormat {
    uint16_t FormatTag = wavein::FORMAT_PCM;
    uint16_t Channels = 0;
    uint32_t SamplesPerSec = 0;
    uint32_t AvgBytesPerSec = 0;
    uint16_t BlockAlign = 0;
    uint16_t BitsPerSample = 0;
};

// One capture buffer. The owner sets Data and BufferLength before preparing it; the device
// sets BytesRecorded and Flags. Next is the owner's link field: the device never touches it.
// System holds the OS's own header record while the buffer is prepared.
struct TWaveHeader {
    char* Data = nullptr;
    uint32_t BufferLength = 0;
    uint32_t BytesRecorded = 0;
    uint32_t Flags = 0;
    TWaveHeader* Next = nullptr;
    // A fixed alignment, enough for the OS's record on either architecture: mingw-w64's i686
    // std::max_align_t aligns to 8 or 16 depending on which header came first, which gave this
    // struct, and every class holding one, two layouts in one program.
    alignas(8) unsigned char System[64] = {};
};

// Called on the device's thread for every message (MSG_OPEN, MSG_DATA with the filled header,
// MSG_CLOSE). It must not raise and must not call back into the device.
using TWaveInCallback = void (*)(unsigned Message, void* Instance, TWaveHeader* Header) noexcept;

// One open device. Destruction closes it; reset it and take every buffer back first.
class IWaveInDevice {
public:
    virtual ~IWaveInDevice() = default;
    virtual TWaveInError PrepareHeader(TWaveHeader& header) = 0;
    virtual TWaveInError AddBuffer(TWaveHeader& header) = 0;
    virtual TWaveInError UnprepareHeader(TWaveHeader& header) = 0;
    virtual TWaveInError Start() = 0;
    // Stops capturing at once: the buffer being filled comes back through the callback with
    // what it holds (when it holds anything); the others stay queued for the next Start.
    virtual TWaveInError Stop() = 0;
    // Stops capturing and hands every queued buffer back through the callback, marked done;
    // the one being filled with what it holds. What Stop and Reset hand back may arrive after
    // the call has returned.
    virtual TWaveInError Reset() = 0;
};

class IWaveIn {
public:
    virtual ~IWaveIn() = default;
    // The number of capture devices, as counted when this port was made.
    virtual int NumDevs() = 0;
    // The name the system gives device `device` (UTF-8); empty when there is no such device.
    // Names survive devices coming and going; numbers do not.
    virtual std::string DeviceName(int device) = 0;
    // Opens `device` (through the format mapper; wavein::MAPPER for the system's default device)
    // with `callback`; `opened` receives the device.
    virtual TWaveInError Open(int device, const TPcmWaveFormat& format, TWaveInCallback callback,
                              void* instance, std::unique_ptr<IWaveInDevice>& opened) = 0;
    // The system's text for `error`.
    virtual std::string ErrorText(TWaveInError error) = 0;
};

// The OS's capture devices; outside Windows, one simulated microphone carrying a 440 Hz tone
// at real pace.
std::shared_ptr<IWaveIn> CreateOsWaveIn();

// The port capture sources use: the one installed, else the OS's (made on first use).
std::shared_ptr<IWaveIn> WaveIn();
void SetWaveIn(std::shared_ptr<IWaveIn> waveIn);

}  // namespace kestova
