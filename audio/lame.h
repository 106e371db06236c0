#pragma once
// Run-time binding of the LAME encoder library (lame_enc.dll on Windows, the system's
// libmp3lame natively). The library is looked for in the folder of the module that holds this
// code (zelt.dll, or a test program), then in the system folder, and nowhere else, so a DLL
// planted in Outlook's current directory or on PATH never runs. Sinks count as users: the
// library stays loaded until the last one unloads it.
#include "platform/Library.h"

#include <string>

namespace kestova {

struct lame_global_struct;
using lame_t = lame_global_struct*;

// The entry points the MP3 sink calls, under their exported names.
struct TLameEntryPoints {
    lame_t (*lame_init)();
    int (*lame_set_num_samples)(lame_t, unsigned long);
    int (*lame_set_in_samplerate)(lame_t, int);
    int (*lame_set_num_channels)(lame_t, int);
    int (*lame_set_brate)(lame_t, int);
    int (*lame_init_params)(lame_t);
    int (*lame_encode_buffer_interleaved)(lame_t, short pcm[], int samplesPerChannel, unsigned char* mp3,
                                          int mp3Size);
    int (*lame_encode_buffer)(lame_t, const short left[], const short right[], int samplesPerChannel,
                              unsigned char* mp3, int mp3Size);
    int (*lame_encode_flush)(lame_t, unsigned char* mp3, int mp3Size);
    int (*lame_close)(lame_t);
    void (*id3tag_init)(lame_t);
    void (*id3tag_set_title)(lame_t, const char*);
    void (*id3tag_set_artist)(lame_t, const char*);
    void (*id3tag_set_album)(lame_t, const char*);
    void (*id3tag_set_year)(lame_t, const char*);
    int (*id3tag_set_track)(lame_t, const char*);
    void (*id3tag_set_comment)(lame_t, const char*);
};

// The library's file name on this platform.
extern const char* const LameFileName;

// Binds every entry point; when any is missing, answers false and leaves all of them null.
bool BindLame(const TLibrary& library, TLameEntryPoints& entries);

// The library's own version ("3.100"), for the helpdesk; "not found" when it cannot be loaded.
std::string LameVersion();

// Adds a user; loads and binds the library if no other user holds it. LameLoaded() tells
// whether it worked. A failed load adds no user.
void LoadLame();
// Removes a user; the last one releases the library.
void UnloadLame();
bool LameLoaded();
// The loaded library; empty while none is loaded.
const TLibrary& LameModule();
// The bound entry points; valid while the caller holds a use of the library.
const TLameEntryPoints& Lame();

}  // namespace kestova
