#ifndef ORVEL_OV_AUDIO_PLUGIN_H
#define ORVEL_OV_AUDIO_PLUGIN_H
/* The C interface of a codec library: a shared object named libOvAudio<Name>.so beside the
 * player's executable. The player opens every such library when it first looks for a format,
 * checks the interface version, registers the formats the library offers after its own, and
 * creates a decoder through the library when a stream of one of those formats is opened.
 *
 * A library exports three functions (C linkage, default visibility):
 *   uint32_t OvAudioPluginVersion(void);               must return OV_AUDIO_PLUGIN_VERSION
 *   const OvFormatInfo* OvAudioPluginFormats(int32_t* count);  static table, *count entries
 *   OvDecoder* OvAudioPluginCreateDecoder(const char* shortName);  null when it cannot
 * A decoder is destroyed through its own ops->destroy. The scan must stay cheap: load heavy
 * dependencies in OvAudioPluginCreateDecoder, not when the library is opened.
 *
 * Threads: a decoder is used by one thread at a time (opened on one, decoded on another), never
 * concurrently; OvAudioPluginCreateDecoder may be called from any thread. */

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define OV_AUDIO_PLUGIN_VERSION 1u

#define OV_FORMAT_CAN_DECODE 0x40000000u

/* One format: display name, short name (the player asks for decoders by it), extensions
 * without dots separated by ';', and capabilities (OV_FORMAT_CAN_DECODE). */
typedef struct OvFormatInfo {
  const char* name;
  const char* shortName;
  const char* extensions;
  uint32_t capabilities;
} OvFormatInfo;

/* The byte stream a decoder reads, lent by the player for the decoder's life. read blocks and
 * returns the bytes copied (0 at the end); seek (origin 0 start, 1 current, 2 end) returns the
 * new position or -1 (a network stream cannot seek); size is -1 when unknown. */
typedef struct OvStream {
  void* context;
  int32_t (*read)(void* context, void* buffer, int32_t size);
  int64_t (*seek)(void* context, int64_t offset, int32_t origin);
  int64_t (*position)(void* context);
  int64_t (*size)(void* context);
} OvStream;

/* What Open found: the PCM the decoder will give (16-bit interleaved, 1 or 2 channels). */
typedef struct OvPcmFormat {
  uint32_t rate;
  uint16_t channels;
  uint32_t durationMs; /* 0 when unknown */
} OvPcmFormat;

typedef struct OvDecoder OvDecoder;

typedef struct OvDecoderOps {
  /* Reads until the stream's format is known; 0 on success. Called once. */
  int32_t (*open)(OvDecoder* decoder, const OvStream* stream, OvPcmFormat* format);
  /* Writes up to maxFrames frames of 16-bit interleaved PCM; returns the frames written, 0 at
   * the end of the stream. A damaged frame is skipped, never a failure of the stream. */
  int32_t (*decode)(OvDecoder* decoder, int16_t* pcm, int32_t maxFrames);
  /* Milliseconds of audio given so far (after a seek: from the new position). */
  int32_t (*positionMs)(OvDecoder* decoder);
  /* By time (byTime != 0, value in ms) or to a byte offset; returns the new position in the
   * same unit, or -1 when the stream cannot seek. */
  int32_t (*seek)(OvDecoder* decoder, int32_t value, int32_t byTime);
  /* The average bitrate in kbit/s, 0 when unknown. */
  int32_t (*bitrateKbps)(OvDecoder* decoder);
  /* The stream's text tags as UTF-8 "KEY=value" entries (Vorbis comments); index from 0 to
   * count-1, *length gets the entry's length. Null past the end. */
  const char* (*comment)(OvDecoder* decoder, int32_t index, int32_t* length);
  /* A name for the codec as the player shows it ("AAC"). */
  const char* (*codecName)(OvDecoder* decoder);
  /* 1 when the last decode began a part of the stream with tags of its own (the next link of
   * a chained Ogg stream), with the frames it gave before that part in *frames; else 0.
   * Answers 1 once per such part; comment then gives the new part's tags. */
  int32_t (*newPart)(OvDecoder* decoder, int32_t* frames);
  void (*destroy)(OvDecoder* decoder);
} OvDecoderOps;

/* Every decoder starts with this. */
struct OvDecoder {
  const OvDecoderOps* ops;
};

/* The exports, as a library defines them (with default visibility). */
uint32_t OvAudioPluginVersion(void);
const OvFormatInfo* OvAudioPluginFormats(int32_t* count);
OvDecoder* OvAudioPluginCreateDecoder(const char* shortName);

typedef uint32_t (*OvAudioPluginVersionFn)(void);
typedef const OvFormatInfo* (*OvAudioPluginFormatsFn)(int32_t* count);
typedef OvDecoder* (*OvAudioPluginCreateDecoderFn)(const char* shortName);

#ifdef __cplusplus
}
#endif

#endif
