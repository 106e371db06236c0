// LAME is linked into the module: its entry points are listed under the file name the binding
// asks for, before any encoder is made.
#include "audio/lame.h"
#include "platform/web/LinkedLibraries.h"

#include <lame/lame.h>

namespace kestova {

namespace {

template <class F>
void* Entry(F* function) {
    return reinterpret_cast<void*>(function);
}

const bool listed = (ListLinkedLibrary(LameFileName,
                                       {
                                           {"lame_init", Entry(&::lame_init)},
                                           {"lame_set_num_samples", Entry(&::lame_set_num_samples)},
                                           {"lame_set_in_samplerate", Entry(&::lame_set_in_samplerate)},
                                           {"lame_set_num_channels", Entry(&::lame_set_num_channels)},
                                           {"lame_set_brate", Entry(&::lame_set_brate)},
                                           {"lame_init_params", Entry(&::lame_init_params)},
                                           {"lame_encode_buffer_interleaved", Entry(&::lame_encode_buffer_interleaved)},
                                           {"lame_encode_buffer", Entry(&::lame_encode_buffer)},
                                           {"lame_encode_flush", Entry(&::lame_encode_flush)},
                                           {"lame_close", Entry(&::lame_close)},
                                           {"id3tag_init", Entry(&::id3tag_init)},
                                           {"id3tag_set_title", Entry(&::id3tag_set_title)},
                                           {"id3tag_set_artist", Entry(&::id3tag_set_artist)},
                                           {"id3tag_set_album", Entry(&::id3tag_set_album)},
                                           {"id3tag_set_year", Entry(&::id3tag_set_year)},
                                           {"id3tag_set_track", Entry(&::id3tag_set_track)},
                                           {"id3tag_set_comment", Entry(&::id3tag_set_comment)},
                                       }),
                      true);

}  // namespace

}  // namespace kestova
