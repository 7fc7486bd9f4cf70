/* A codec library of another interface version, which the registry must skip. */
#include "audio/plugin/OvAudioPlugin.h"

static const OvFormatInfo kFormats[] = {{"Old AAC", "aac", "aac", OV_FORMAT_CAN_DECODE}};

uint32_t OvAudioPluginVersion(void) { return OV_AUDIO_PLUGIN_VERSION + 1; }

const OvFormatInfo* OvAudioPluginFormats(int32_t* count) {
  *count = 1;
  return kFormats;
}

OvDecoder* OvAudioPluginCreateDecoder(const char* shortName) {
  (void)shortName;
  return 0;
}
