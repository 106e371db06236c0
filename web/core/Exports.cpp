// The module's interface (typed in kestova_core.d.ts): plain C functions over TWebEncoder, so
// the page needs no binding library. A failure is kept as text and answered as a failure
// value; no exception leaves the module.
#include "web/core/WebEncoder.h"

#include <emscripten/emscripten.h>

#include <exception>
#include <memory>
#include <string>

using kestova::TWebEncoder;

namespace {

struct TEncoderHandle {
    std::unique_ptr<TWebEncoder> encoder;
    std::string error;
};

// Runs `step`, keeping the first failure's text in `error`.
template <class Step>
bool Caught(std::string& error, Step step) noexcept {
    try {
        step();
        return true;
    } catch (const std::exception& e) {
        error = e.what();
    } catch (...) {
    }
    if (error.empty()) error = "MP3 encoder failed";
    return false;
}

template <class Step>
bool Guarded(TEncoderHandle& handle, Step step) noexcept {
    if (!handle.error.empty()) return false;  // a failed recording takes nothing more
    return Caught(handle.error, [&handle, &step] { step(*handle.encoder); });
}

}  // namespace

extern "C" {

// A failed open still answers a handle, so that its reason can be read; null only when even
// the handle finds no memory.
EMSCRIPTEN_KEEPALIVE TEncoderHandle* kestova_encoder_open(int kbps) noexcept {
    std::unique_ptr<TEncoderHandle> handle;
    try {
        handle = std::make_unique<TEncoderHandle>();
    } catch (...) {
        return nullptr;
    }
    Caught(handle->error, [&handle, kbps] { handle->encoder = std::make_unique<TWebEncoder>(kbps); });
    return handle.release();
}

EMSCRIPTEN_KEEPALIVE short* kestova_encoder_pcm(TEncoderHandle* handle, int frames) noexcept {
    short* room = nullptr;
    Guarded(*handle, [&room, frames](TWebEncoder& encoder) { room = encoder.Room(frames < 0 ? 0 : frames); });
    return room;
}

EMSCRIPTEN_KEEPALIVE double kestova_encoder_push(TEncoderHandle* handle, int frames) noexcept {
    double level = -1;
    Guarded(*handle, [&level, frames](TWebEncoder& encoder) { level = encoder.Push(frames); });
    return level;
}

EMSCRIPTEN_KEEPALIVE int kestova_encoder_finish(TEncoderHandle* handle) noexcept {
    return Guarded(*handle, [](TWebEncoder& encoder) { encoder.Finish(); }) ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE int kestova_encoder_size(TEncoderHandle* handle) noexcept {
    return static_cast<int>(handle->encoder->Mp3().size());
}

EMSCRIPTEN_KEEPALIVE const unsigned char* kestova_encoder_data(TEncoderHandle* handle) noexcept {
    return handle->encoder->Mp3().data();
}

EMSCRIPTEN_KEEPALIVE const char* kestova_encoder_error(TEncoderHandle* handle) noexcept {
    return handle->error.empty() ? nullptr : handle->error.c_str();
}

EMSCRIPTEN_KEEPALIVE void kestova_encoder_close(TEncoderHandle* handle) noexcept {
    const std::unique_ptr<TEncoderHandle> owned(handle);
}

}  // extern "C"
