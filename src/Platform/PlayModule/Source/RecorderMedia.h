#pragma once

struct AVDictionary;

namespace PLAY_MODULE {

// The containers and decoders a recording may use. Anything else a probe
// recognises (still images, exotic codecs) is refused before a decoder sees
// a byte of it, so hostile files only reach the well-trodden decoders.
extern const char* const kRecorderFormats;
extern const char* const kRecorderDecoders;

// Adds the container, decoder and protocol limits to libavformat options.
void LimitToRecorderMedia(AVDictionary** options);

// Adds the decoder limit to libavcodec options.
void LimitToRecorderDecoders(AVDictionary** options);

}  // namespace PLAY_MODULE
