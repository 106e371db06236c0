#include "audio/lame.h"

#include <mutex>

namespace kestova {

#ifdef _WIN32
const char* const LameFileName = "lame_enc.dll";
#else
const char* const LameFileName = "libmp3lame.so.0";
#endif

namespace {

struct TLameBinding {
    std::mutex lock;  // sinks are made and destroyed on the caller's thread, but stay safe
    int users = 0;  // the library is loaded while this is above 0
    TLibrary module;
    TLameEntryPoints entries{};
};

TLameBinding& Binding() {
    static TLameBinding binding;
    return binding;
}

template <class F>
bool Bind(const TLibrary& library, const char* name, F& entry) {
    entry = reinterpret_cast<F>(library.Symbol(name));
    return entry != nullptr;
}

TLibrary OpenLame() {
    TLibrary library = LoadLibraryIn(ModuleFolderOf(reinterpret_cast<const void*>(&LoadLame)), LameFileName);
    return library ? std::move(library) : LoadSystemLibrary(LameFileName);
}

// Not among the entry points the sink needs: an encoder without it still encodes.
std::string VersionOf(const TLibrary& library) {
    if (!library) return "not found";
    const auto version = reinterpret_cast<const char* (*)()>(library.Symbol("get_lame_version"));
    return version ? version() : "unknown";
}

}  // namespace

bool BindLame(const TLibrary& library, TLameEntryPoints& e) {
    const bool complete = Bind(library, "lame_init", e.lame_init) &&
                          Bind(library, "lame_set_num_samples", e.lame_set_num_samples) &&
                          Bind(library, "lame_set_in_samplerate", e.lame_set_in_samplerate) &&
                          Bind(library, "lame_set_num_channels", e.lame_set_num_channels) &&
                          Bind(library, "lame_set_brate", e.lame_set_brate) &&
                          Bind(library, "lame_init_params", e.lame_init_params) &&
                          Bind(library, "lame_encode_buffer_interleaved", e.lame_encode_buffer_interleaved) &&
                          Bind(library, "lame_encode_buffer", e.lame_encode_buffer) &&
                          Bind(library, "lame_encode_flush", e.lame_encode_flush) &&
                          Bind(library, "lame_close", e.lame_close) &&
                          Bind(library, "id3tag_init", e.id3tag_init) &&
                          Bind(library, "id3tag_set_title", e.id3tag_set_title) &&
                          Bind(library, "id3tag_set_artist", e.id3tag_set_artist) &&
                          Bind(library, "id3tag_set_album", e.id3tag_set_album) &&
                          Bind(library, "id3tag_set_year", e.id3tag_set_year) &&
                          Bind(library, "id3tag_set_track", e.id3tag_set_track) &&
                          Bind(library, "id3tag_set_comment", e.id3tag_set_comment);
    if (!complete) e = TLameEntryPoints{};
    return complete;
}

// A library a sink holds already is asked as it is, not loaded once more.
std::string LameVersion() {
    TLameBinding& b = Binding();
    std::lock_guard<std::mutex> guard(b.lock);
    return b.users > 0 ? VersionOf(b.module) : VersionOf(OpenLame());
}

void LoadLame() {
    TLameBinding& b = Binding();
    std::lock_guard<std::mutex> guard(b.lock);
    if (b.users > 0) {
        ++b.users;
        return;
    }
    TLibrary library = OpenLame();
    if (!library || !BindLame(library, b.entries)) return;
    b.module = std::move(library);
    b.users = 1;
}

void UnloadLame() {
    TLameBinding& b = Binding();
    std::lock_guard<std::mutex> guard(b.lock);
    if (b.users == 0 || --b.users > 0) return;
    b.entries = TLameEntryPoints{};
    b.module.Reset();
}

bool LameLoaded() {
    TLameBinding& b = Binding();
    std::lock_guard<std::mutex> guard(b.lock);
    return b.users > 0;
}

const TLibrary& LameModule() { return Binding().module; }

const TLameEntryPoints& Lame() { return Binding().entries; }

}  // namespace kestova
