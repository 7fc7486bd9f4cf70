#pragma once
// libavcodec and libavutil, opened with dlopen the first time a decoder of this library is
// created: the scan that lists the library's formats loads neither, so players that never
// play these formats do not pay for them. The major versions are those of the headers the
// library was built against, so the structures the code reads have the expected layout.
//
// Loaded once per process under a static's initialisation guard; read-only afterwards, so any
// thread may use it.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
#include <libavutil/log.h>
#include <libavutil/mem.h>
}

namespace orvel {

class AvCodecLibrary {
 public:
  // The loaded functions, or null (said on stderr once) when a library or symbol is missing.
  static const AvCodecLibrary* get();

  decltype(&avcodec_find_decoder) findDecoder = nullptr;
  decltype(&avcodec_alloc_context3) allocContext = nullptr;
  decltype(&avcodec_open2) openContext = nullptr;
  decltype(&avcodec_free_context) freeContext = nullptr;
  decltype(&avcodec_send_packet) sendPacket = nullptr;
  decltype(&avcodec_receive_frame) receiveFrame = nullptr;
  decltype(&avcodec_flush_buffers) flushBuffers = nullptr;
  decltype(&av_packet_alloc) packetAlloc = nullptr;
  decltype(&av_packet_free) packetFree = nullptr;
  decltype(&av_parser_init) parserInit = nullptr;
  decltype(&av_parser_parse2) parserParse = nullptr;
  decltype(&av_parser_close) parserClose = nullptr;
  decltype(&av_frame_alloc) frameAlloc = nullptr;
  decltype(&av_frame_free) frameFree = nullptr;
  decltype(&av_mallocz) mallocz = nullptr;
  decltype(&av_log_set_level) logSetLevel = nullptr;

 private:
  bool load();
};

}  // namespace orvel
