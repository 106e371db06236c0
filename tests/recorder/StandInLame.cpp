// A stand-in for the encoder library with the entry points the MP3 sink binds. It encodes
// nothing real: each block gives a few bytes and the flush a tag-sized block. A test makes one
// entry point fail by name through kestova_stand_in_fail: lame_init then gives no encoder, the
// others answer -1.
#include <atomic>
#include <cstring>

#ifdef _WIN32
#define STAND_IN_EXPORT extern "C" __declspec(dllexport)
#else
#define STAND_IN_EXPORT extern "C" __attribute__((visibility("default")))
#endif

struct lame_global_struct {
    int unused;
};

namespace {

enum TEntry { None, Init, InitParams, Encode, Flush };

std::atomic<int> failing{None};
lame_global_struct encoder{};

bool Fails(TEntry entry) { return failing.load() == entry; }

int Output(unsigned char* out, int size, int count, unsigned char value) {
    if (Fails(count > 4 ? Flush : Encode)) return -1;
    const int written = count < size ? count : size;
    std::memset(out, value, static_cast<std::size_t>(written));
    return written;
}

}  // namespace

STAND_IN_EXPORT void kestova_stand_in_fail(const char* entry) {
    const char* const names[] = {"", "lame_init", "lame_init_params", "lame_encode", "lame_encode_flush"};
    failing = None;
    for (int e = Init; e <= Flush; ++e)
        if (std::strcmp(entry, names[e]) == 0) failing = e;
}

STAND_IN_EXPORT lame_global_struct* lame_init() { return Fails(Init) ? nullptr : &encoder; }
STAND_IN_EXPORT int lame_set_num_samples(lame_global_struct*, unsigned long) { return 0; }
STAND_IN_EXPORT int lame_set_in_samplerate(lame_global_struct*, int) { return 0; }
STAND_IN_EXPORT int lame_set_num_channels(lame_global_struct*, int) { return 0; }
STAND_IN_EXPORT int lame_set_brate(lame_global_struct*, int) { return 0; }
STAND_IN_EXPORT int lame_init_params(lame_global_struct*) { return Fails(InitParams) ? -1 : 0; }
STAND_IN_EXPORT int lame_encode_buffer_interleaved(lame_global_struct*, short[], int, unsigned char* out, int size) {
    return Output(out, size, 4, 0xFF);
}
STAND_IN_EXPORT int lame_encode_buffer(lame_global_struct*, const short[], const short[], int, unsigned char* out,
                                       int size) {
    return Output(out, size, 4, 0xFF);
}
STAND_IN_EXPORT int lame_encode_flush(lame_global_struct*, unsigned char* out, int size) {
    return Output(out, size, 128, 'T');
}
STAND_IN_EXPORT int lame_close(lame_global_struct*) { return 0; }
STAND_IN_EXPORT void id3tag_init(lame_global_struct*) {}
STAND_IN_EXPORT void id3tag_set_title(lame_global_struct*, const char*) {}
STAND_IN_EXPORT void id3tag_set_artist(lame_global_struct*, const char*) {}
STAND_IN_EXPORT void id3tag_set_album(lame_global_struct*, const char*) {}
STAND_IN_EXPORT void id3tag_set_year(lame_global_struct*, const char*) {}
STAND_IN_EXPORT int id3tag_set_track(lame_global_struct*, const char*) { return 0; }
STAND_IN_EXPORT void id3tag_set_comment(lame_global_struct*, const char*) {}
