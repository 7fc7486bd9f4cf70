#include "audio/plugin/av/AvCodecLibrary.h"

#include <dlfcn.h>

#include <cstdio>
#include <string>

#include "platform/DynamicSymbol.h"

namespace orvel {
namespace {

#define ORVEL_STRING(x) #x
#define ORVEL_SONAME(name, major) "lib" name ".so." ORVEL_STRING(major)

template <typename Fn>
bool bind(void* handle, const char* symbol, Fn& target) {
  if (bindSymbol(handle, symbol, target)) return true;
  std::fprintf(stderr, "libavcodec: %s is missing\n", symbol);
  return false;
}

}  // namespace

const AvCodecLibrary* AvCodecLibrary::get() {
  static const AvCodecLibrary* const loaded = [] {
    static AvCodecLibrary library;
    return library.load() ? &library : nullptr;
  }();
  return loaded;
}

bool AvCodecLibrary::load() {
  // Kept open for the life of the process: decoders may outlive any one owner.
  void* util = dlopen(ORVEL_SONAME("avutil", LIBAVUTIL_VERSION_MAJOR), RTLD_NOW | RTLD_LOCAL);
  void* codec = dlopen(ORVEL_SONAME("avcodec", LIBAVCODEC_VERSION_MAJOR), RTLD_NOW | RTLD_LOCAL);
  if (util == nullptr || codec == nullptr) {
    std::fprintf(stderr, "libavcodec cannot be loaded: %s\n", dlerror());
    return false;
  }
  const bool bound =
      bind(codec, "avcodec_find_decoder", findDecoder) &&
      bind(codec, "avcodec_alloc_context3", allocContext) &&
      bind(codec, "avcodec_open2", openContext) &&
      bind(codec, "avcodec_free_context", freeContext) &&
      bind(codec, "avcodec_send_packet", sendPacket) &&
      bind(codec, "avcodec_receive_frame", receiveFrame) &&
      bind(codec, "avcodec_flush_buffers", flushBuffers) &&
      bind(codec, "av_packet_alloc", packetAlloc) && bind(codec, "av_packet_free", packetFree) &&
      bind(codec, "av_parser_init", parserInit) && bind(codec, "av_parser_parse2", parserParse) &&
      bind(codec, "av_parser_close", parserClose) && bind(util, "av_frame_alloc", frameAlloc) &&
      bind(util, "av_frame_free", frameFree) && bind(util, "av_mallocz", mallocz) &&
      bind(util, "av_log_set_level", logSetLevel);
  // Damaged frames are skipped by design; libavcodec's report of each would flood stderr.
  if (bound) logSetLevel(AV_LOG_QUIET);
  return bound;
}

}  // namespace orvel
