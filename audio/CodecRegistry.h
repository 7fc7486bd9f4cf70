#pragma once
// Which formats the program can decode and who creates their decoders and filters. One
// instance per process, made at start-up (or on first use) and destroyed at shut-down, on the
// UI thread; lookups come from the player's command thread afterwards. The first lookup scans
// for providers: the built-in one, then codec libraries matching the pattern beside the
// executable (LibraryCodecProvider), whose entries follow the built-in ones.
//
// Not guarded: entries and providers only grow, and only during the first lookup, which the
// Player makes before any other thread uses the registry.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "audio/AudioDecoder.h"
#include "audio/AudioFilter.h"
#include "audio/CodecEntry.h"
#include "audio/CodecProvider.h"
#include "platform/Text.h"

namespace orvel {

class CodecRegistry {
 public:
  static constexpr const char* kLibraryPattern = "libOvAudio*.so";

  // `folder`: where to look for codec libraries; none = the executable's folder.
  explicit CodecRegistry(std::string pattern = kLibraryPattern,
                         std::optional<std::string> folder = std::nullopt);
  virtual ~CodecRegistry();
  CodecRegistry(const CodecRegistry&) = delete;
  CodecRegistry& operator=(const CodecRegistry&) = delete;

  // The process-wide registry, made with the standard pattern when start-up has not made it.
  static CodecRegistry& shared();
  static void createShared(const std::string& pattern);
  static void destroyShared();

  // The first entry, in registration order, whose short name equals `name` or one of whose
  // extensions equals the name's extension (both without case) and that has the wanted
  // capability; null when none. Runs the scan first if it has not run.
  const CodecEntry* FindEntry(WStringView name, bool wantEncoder);
  // Sets *out to null, then to a new decoder for the format; false when none can be made.
  bool CreateDecoder(AudioDecoder** out, WStringView name);
  // Asks each provider in turn; false when none makes it (also before the first lookup).
  bool CreateFilter(AudioFilter** out, WStringView name);
  // Runs the scan if it has not run, then lets each provider load what its decoders need. The
  // Player calls it when it starts, so that time is not added to an open.
  void Prepare();

  // Appends an entry for `provider` (called by providers while they are created).
  void registerEntry(CodecProvider* provider, WStringView name, WStringView shortName,
                     std::vector<WString> extensions, uint32_t capabilities);
  size_t entryCount() const { return m_entries.size(); }
  size_t providerCount() const { return m_providers.size(); }

 protected:
  enum class ProviderSource { kBuiltin, kLibrary, kEndOfScan };
  // Creates the built-in provider or loads a codec library; none for the end of the scan.
  virtual CodecProvider* createProvider(ProviderSource source, const std::string& path);

 private:
  void scan();

  std::vector<std::unique_ptr<CodecProvider>> m_providers;
  std::vector<CodecEntry> m_entries;
  bool m_scanned = false;
  std::string m_pattern;
  std::optional<std::string> m_folder;
};

}  // namespace orvel
