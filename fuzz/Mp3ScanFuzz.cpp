// The simulated MCI device's frame scanner over arbitrary files. No frame is shorter than
// 24 bytes (MPEG-2, 8 kbps, 24 kHz), nor longer than 576 samples at 8 kHz per 72 ms.
#include "fuzz/FuzzFile.h"
#include "platform/sim/Mp3Scan.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const kestova::fuzz::TFuzzFile file("scan.mp3");
    const kestova::TMp3Measure measure = kestova::MeasureMp3(file.Write(data, size));
    if (uint64_t(measure.frames) * 24 > size) std::abort();
    if (uint64_t(measure.lengthMs) > uint64_t(measure.frames) * 72) std::abort();
    return 0;
}
