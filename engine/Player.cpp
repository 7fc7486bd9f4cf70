#include "engine/Player.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <string>
#include <utility>

#include "audio/CodecRegistry.h"
#include "audio/FilterProperties.h"
#include "resources/StringTable.h"

namespace orvel {

Player::Player(MessageTarget* notify, Settings settings)
    : m_notify(notify), m_settings(std::move(settings)) {}

Player::~Player() { Shutdown(); }

CodecRegistry& Player::registry() {
  return m_settings.registry != nullptr ? *m_settings.registry : CodecRegistry::shared();
}

void Player::Start() {
  if (m_stream) return;
  m_stream = std::make_unique<RecordingStream>(static_cast<PlayerEvents*>(this), m_settings.recDir,
                                               m_settings.timing);
  m_stream->setPlaylistReader(m_settings.playlistReader);
  m_stream->OpenInternet();
  // The codecs load now, while the user is still choosing, rather than on the way to sound.
  registry().Prepare();
  m_thread = std::thread([this] { threadMain(); });
  m_threadId = m_thread.get_id();
}

void Player::Shutdown() {
  if (!m_stream) return;
  // A command decoding from a server that sends a byte now and then must not hold up the exit.
  m_stops.issued();
  m_commands.post(kQuit, 0, 0);
  if (m_thread.joinable()) m_thread.join();
  m_stops.dropped();
  // A request still queued behind the quit is released with its message.
  while (auto left = m_commands.peek()) {
    if (left->message == kOpen) delete reinterpret_cast<OpenRequest*>(left->wParam);
    if (left->message == kStop || left->message == kClose) m_stops.dropped();
  }
  m_stream->Shutdown();
  m_stream.reset();
}

void Player::command(uint32_t id, OpenRequest* request) {
  const bool stops = id == kStop || id == kClose;
  if (stops) m_stops.issued();
  if (m_thread.joinable() && onPlayerThread()) {
    m_notify->post(id + kReplyOffset, static_cast<uintptr_t>(run(id, request)), 0);
    delete request;
    return;
  }
  if (!m_commands.post(id, reinterpret_cast<uintptr_t>(request), 0)) {
    delete request;
    if (stops) m_stops.dropped();
  }
}

void Player::Open(const OpenRequest& request) { command(kOpen, new OpenRequest(request)); }
void Player::Close() { command(kClose, nullptr); }
void Player::Play() { command(kPlay, nullptr); }
void Player::Stop() { command(kStop, nullptr); }
void Player::Pause() { command(kPause, nullptr); }
void Player::RecordStart() { command(kRecordStart, nullptr); }
void Player::RecordStop() { command(kRecordStop, nullptr); }

void Player::threadMain() {
  for (;;) {
    const std::optional<Message> next = m_commands.get(msUntilNextTitle());
    showDueTitles();
    if (!next) continue;
    const Message& message = *next;
    if (message.message == kQuit) return;
    if (message.message < kOpen || message.message > kRecordStop) continue;
    auto* request = reinterpret_cast<OpenRequest*>(message.wParam);
    const int32_t result = run(message.message, request);
    delete request;
    m_notify->post(message.message + kReplyOffset, static_cast<uintptr_t>(result), 0);
  }
}

int Player::msUntilNextTitle() const {
  const auto due = m_titles.nextDue();
  if (!due) return MessageQueue::kInfinite;
  const auto ms =
      std::chrono::ceil<std::chrono::milliseconds>(*due - TitleSchedule::Clock::now()).count();
  return ms > 0 ? static_cast<int>(ms) : 0;
}

void Player::showDueTitles() {
  if (m_titles.advance(TitleSchedule::Clock::now())) m_notify->post(kTitleChanged, 0, 0);
}

int32_t Player::run(uint32_t id, const OpenRequest* request) {
  const auto kind = id == kPlay                   ? StopRequests::Command::Play
                    : id == kOpen                 ? StopRequests::Command::Open
                    : id == kStop || id == kClose ? StopRequests::Command::Stop
                                                  : StopRequests::Command::Other;
  m_stops.started(kind);
  const int32_t result = execute(id, request);
  m_stops.finished(kind);
  return result;
}

int32_t Player::execute(uint32_t id, const OpenRequest* request) {
  switch (id) {
    case kOpen:
      return doOpen(request);
    case kClose:
      return doClose();
    case kPlay:
      return doPlay();
    case kStop:
      // A stopped stream is not reconnected; a Close ends the attempts with the connection.
      m_stream->StopReconnecting();
      return doStop();
    case kPause:
      return doPause();
    case kRecordStart:
      return doRecordStart();
    case kRecordStop:
      return doRecordStop();
    default:
      return 0;
  }
}

int32_t Player::doOpen(const OpenRequest* request) {
  if (request == nullptr || m_state.load() != Idle || !m_stream) return 0;
  {
    std::lock_guard lock(m_lock);
    m_failedOnce = false;
  }
  m_connected = false;
  m_connectEvent.reset();
  m_stream->Connect(*request);
  if (!m_connectEvent.wait(m_settings.connectWaitMs) || !m_connected.load()) return failOpen(0);
  int32_t error = 0;
  // The decoder becomes the Player's only once it is open: until then no other thread (the
  // title query) may touch it while it reads the stream.
  AudioDecoder* decoder = createDecoder();
  auto format = std::make_unique<AudioFormat>();
  *format = AudioFormat{};
  if (decoder == nullptr) {
    error = kStrCannotCreateDecoder;
  } else if (decoder->Open(m_stream.get(), format.get()) != 0) {
    decoder->Release();
    error = kStrCannotOpenDecoder;
  } else {
    std::lock_guard lock(m_lock);
    setDecoder(decoder);
    m_decoderFormat = std::move(format);
    if (!setUpOutput()) error = kStrCannotOpenSoundDevice;
  }
  if (error != 0) return failOpen(error);
  if (request->prebuffer) m_stream->StartPrebuffering();
  m_state = Ready;
  return 1;
}

// An Open that fails while a Stop, Close or the shut-down waits behind it reports no error, not
// even the connection's: the user has moved on (and its first reads may just have been cut).
int32_t Player::failOpen(int32_t error) {
  const bool givenUp = m_stops.cutting();
  if (error != 0 && !givenUp) m_lastError = error;
  teardown();
  if (givenUp && m_stream) m_stream->TakeError();
  return 0;
}

// Called with m_lock held, while no decode runs. The decoder's tags are taken now, so a track
// query never has to wait for a decode; a new Ogg link replaces them when its sound plays.
void Player::setDecoder(AudioDecoder* decoder) {
  m_decoder = decoder;
  m_unplacedTitles.clear();
  if (decoder == nullptr) {
    m_titles.clear();
    return;
  }
  TagInfo tags;
  if (decoder->Control(kControlReadTags, &tags, nullptr) != 0) tags = TagInfo{};
  m_titles.setDecoderTags(std::move(tags));
}

AudioDecoder* Player::createDecoder() {
  std::string name;
  if (!m_stream->DetectFormat(name)) return nullptr;
  AudioDecoder* decoder = nullptr;
  if (!registry().CreateDecoder(&decoder, fromAscii(name))) return nullptr;
  return decoder;
}

uint32_t Player::bufferBytesFor(const WaveFormatEx& decoder) {
  uint32_t bytes = static_cast<uint32_t>(uint64_t{decoder.nAvgBytesPerSec} * 1000 / 1000);
  // The remainder is added, so the size need not be a whole number of frames.
  if (decoder.nBlockAlign != 0) bytes += bytes % decoder.nBlockAlign;
  return bytes;
}

uint32_t Player::decodeBudgetFor(uint32_t bufferBytes, const WaveFormatEx& decoder,
                                 const WaveFormatEx& output) {
  // Channels count too: a mono stream played in stereo doubles in size when converted.
  const double ratio =
      (static_cast<double>(decoder.wBitsPerSample) * decoder.nSamplesPerSec * decoder.nChannels) /
      (static_cast<double>(output.wBitsPerSample) * output.nSamplesPerSec * output.nChannels);
  if (ratio == 1.0) return bufferBytes;
  double budget = std::trunc(bufferBytes * ratio - 50.0);
  uint32_t bytes = budget > 0 ? static_cast<uint32_t>(budget) : 0;
  if (output.nBlockAlign != 0) bytes += bytes % output.nBlockAlign;
  // Converting down in rate or width needs more decoded bytes than the buffer holds: decode no
  // more than fits, in whole decoder frames.
  if (bytes > bufferBytes) {
    bytes = bufferBytes;
    if (decoder.nBlockAlign != 0) bytes -= bytes % decoder.nBlockAlign;
  }
  return bytes;
}

bool Player::setUpOutput() {
  const WaveFormatEx& decoder = m_decoderFormat->wave;
  // A decoder that reported no usable format cannot be played (and would divide by zero).
  if (decoder.nAvgBytesPerSec == 0 || decoder.nBlockAlign == 0 || decoder.nSamplesPerSec == 0) {
    return false;
  }
  m_bufferBytes = bufferBytesFor(decoder);
  m_wave = std::make_unique<WaveOutput>(static_cast<WaveOutputClient*>(this), m_settings.driver);
  m_outputFormat = std::make_unique<WaveFormatEx>(decoder);
  bool direct = false;
  if (!m_wave->Negotiate(m_outputFormat.get(), &direct)) {
    releaseOutput();
    return false;
  }
  if (direct) {
    m_outputFormat.reset();
    m_decodeBudget = m_bufferBytes;
    return true;
  }
  if (!registry().CreateFilter(&m_filter, u"ResampleFilter") || m_filter == nullptr) {
    m_filter = nullptr;
    releaseOutput();
    return false;
  }
  FilterProperties properties;
  properties.quality = 0;
  properties.inputRate = decoder.nSamplesPerSec;
  properties.inputBits = static_cast<uint8_t>(decoder.wBitsPerSample);
  properties.inputChannels = static_cast<uint8_t>(decoder.nChannels);
  properties.outputRate = m_outputFormat->nSamplesPerSec;
  properties.outputBits = static_cast<uint8_t>(m_outputFormat->wBitsPerSample);
  properties.outputChannels = static_cast<uint8_t>(m_outputFormat->nChannels);
  m_filter->Init(&properties);
  m_decodeBudget = decodeBudgetFor(m_bufferBytes, decoder, *m_outputFormat);
  return true;
}

void Player::releaseOutput() {
  m_wave.reset();
  m_outputFormat.reset();
  if (m_filter != nullptr) m_filter->Release();
  m_filter = nullptr;
}

bool Player::decodeInto(WaveHeader* header, uint32_t capacity) {
  if (m_decoder == nullptr) return false;
  const auto consumedBefore = static_cast<uint32_t>(m_decoder->GetPosition(false));
  if (!m_decoder->Decode(header, capacity)) return false;
  const uint32_t decoded = header->dwBytesRecorded;
  if (m_filter != nullptr) {
    header->dwBufferLength = capacity;
    m_filter->Process(header);
  }
  if (header->dwBytesRecorded == 0) return false;
  placeTitles(consumedBefore, decoded, header->dwBytesRecorded);
  return true;
}

// Gives the titles whose sound this block holds their place in it: a stream title by the bytes
// the decoder consumed before it (the decoder reads ahead, so a title may wait for a later
// block), a new Ogg link by where it began in the block. Stream positions wrap at 4 GiB.
void Player::placeTitles(uint32_t consumedBefore, uint32_t decodedBytes, uint32_t outputBytes) {
  const uint64_t start = m_titles.queued(outputBytes);
  bool added = false;
  for (auto& title : m_stream->TakeTitles()) m_unplacedTitles.push_back(std::move(title));
  const auto consumedAfter = static_cast<uint32_t>(m_decoder->GetPosition(false));
  const uint32_t span = consumedAfter - consumedBefore;
  while (!m_unplacedTitles.empty()) {
    IcyStream::PlacedTitle& title = m_unplacedTitles.front();
    if (static_cast<int32_t>(title.position - consumedAfter) > 0) break;
    const int32_t into = static_cast<int32_t>(title.position - consumedBefore);
    const uint64_t offset =
        span == 0 || into <= 0 ? 0 : uint64_t{outputBytes} * std::min<uint32_t>(into, span) / span;
    TagInfo track;
    track.title = std::move(title.title);
    m_titles.add(TitleSchedule::Source::Stream, start + offset, std::move(track));
    m_unplacedTitles.pop_front();
    added = true;
  }
  uint32_t linkOffset = 0;
  if (m_decoder->Control(kControlTagsChanged, &linkOffset, nullptr) == 1) {
    TagInfo tags;
    if (m_decoder->Control(kControlReadTags, &tags, nullptr) != 0) tags = TagInfo{};
    const uint64_t offset =
        decodedBytes == 0
            ? 0
            : uint64_t{outputBytes} * std::min(linkOffset, decodedBytes) / decodedBytes;
    m_titles.add(TitleSchedule::Source::Decoder, start + offset, std::move(tags));
    added = true;
  }
  if (added) m_commands.post(kTitleClock, 0, 0);
}

bool Player::FillBuffer(WaveHeader* header, uint32_t capacity) {
  // The device handed this buffer back: its sound has been played.
  m_titles.played(header->dwBufferLength, TitleSchedule::Clock::now());
  if (m_stops.stopping()) return false;
  std::lock_guard lock(m_lock);
  if (m_stops.stopping()) return false;
  char* const data = header->lpData;
  *header = WaveHeader{};
  header->lpData = data;
  header->dwBytesRecorded = capacity;
  header->dwBufferLength = m_outputFormat ? m_decodeBudget : capacity;
  if (decodeInto(header, capacity)) {
    header->dwBufferLength = header->dwBytesRecorded;
    return true;
  }
  // A read cut short by a Stop or Close is no failure of the stream.
  if (m_stops.stopping()) return false;
  if (!m_failedOnce) {
    m_failedOnce = true;
    return false;
  }
  m_failedOnce = false;
  if (m_wave) m_wave->Close();
  m_state = Ended;
  return false;
}

void Player::PlaybackEnded() {
  {
    std::lock_guard lock(m_lock);
    if (m_decoder != nullptr) m_decoder->Control(kControlRewind, nullptr, nullptr);
    m_unplacedTitles.clear();
    m_state = Ready;
  }
  if (m_titles.stop()) m_notify->post(kTitleChanged, 0, 0);
  m_notify->post(kPlaybackEnded, 0, 0);
}

int32_t Player::doPlay() {
  std::unique_lock lock(m_lock);
  if (m_state.load() == Paused) {
    if (m_wave) m_wave->Restart();
    m_titles.resume(TitleSchedule::Clock::now());
    m_state = Playing;
    return 1;
  }
  if (m_state.load() != Ready || !m_wave || !m_decoderFormat) return 0;
  const WaveFormatEx format = m_outputFormat ? *m_outputFormat : m_decoderFormat->wave;
  if (!m_wave->Open(&format, m_bufferBytes)) return 0;
  m_titles.start(format.nAvgBytesPerSec, m_wave->LatencyMs());
  for (int i = 0; i < 2; ++i) {
    char* data = nullptr;
    uint32_t capacity = 0;
    m_wave->GetBuffer(i, &data, &capacity);
    WaveHeader header;
    header.lpData = data;
    header.dwBufferLength = m_outputFormat ? m_decodeBudget : capacity;
    const bool filled = data != nullptr && decodeInto(&header, capacity);
    if (i == 0 && !filled) {
      lock.unlock();
      m_wave->Close();
      return 0;
    }
    m_wave->Queue(filled ? header.dwBytesRecorded : 0, i);
  }
  m_state = Playing;
  return 1;
}

// Runs while m_stops reports stopping: FillBuffer refills nothing and a decode waiting in a read
// returns at once, so the Close below never waits for the network.
int32_t Player::doStop() {
  const int32_t state = m_state.load();
  if (state == Idle) return 0;
  if ((state == Playing || state == Paused) && m_wave) m_wave->Close();
  return 1;
}

int32_t Player::doPause() {
  std::lock_guard lock(m_lock);
  if (m_state.load() != Playing) return 0;
  if (m_wave) m_wave->Pause();
  m_titles.pause(TitleSchedule::Clock::now());
  m_state = Paused;
  return 1;
}

int32_t Player::doClose() {
  const int32_t state = m_state.load();
  if (state == Idle) {
    // An Open given up for this Close leaves the Player idle; the newest Open behind the Close
    // must still be the one that runs.
    drainCommands();
    return 1;
  }
  if (state == Ready) {
    if (m_wave) m_wave->Close();
  } else if (doStop() == 0) {
    return 0;
  }
  teardown();
  drainCommands();
  m_state = Idle;
  return 1;
}

void Player::teardown() {
  // A wave output that closed itself may still be ending its thread, which takes m_lock.
  if (m_wave) m_wave->Close();
  {
    std::lock_guard lock(m_lock);
    if (m_decoder != nullptr) m_decoder->Release();
    setDecoder(nullptr);
  }
  m_recording = false;
  if (m_stream) m_stream->Disconnect();
  std::lock_guard lock(m_lock);
  releaseOutput();
  m_decoderFormat.reset();
  m_decodeBudget = 0;
  m_bufferBytes = 0;
}

void Player::drainCommands() {
  // Commands issued before the Close are dropped, except the newest Open, which runs after it.
  OpenRequest* lastOpen = nullptr;
  while (auto message = m_commands.getInRange(1024, 1044, 0)) {
    if (message->message == kStop || message->message == kClose) m_stops.dropped();
    if (message->message != kOpen) continue;
    delete lastOpen;
    lastOpen = reinterpret_cast<OpenRequest*>(message->wParam);
  }
  if (lastOpen != nullptr && !m_commands.post(kOpen, reinterpret_cast<uintptr_t>(lastOpen), 0)) {
    delete lastOpen;
  }
}

int32_t Player::doRecordStart() {
  const int32_t state = m_state.load();
  if (state != Ready && state != Playing && state != Paused) return 0;
  m_recording = m_stream->RecordStart();
  return m_recording ? 1 : 0;
}

int32_t Player::doRecordStop() {
  if (!m_recording) return 0;
  m_recording = false;
  return m_stream->RecordStop();
}

int32_t Player::GetLastError() {
  const int32_t error = m_lastError.exchange(0);
  if (error != 0) return error;
  return m_stream ? m_stream->TakeError() : 0;
}

int32_t Player::GetBufferFill() { return m_stream ? m_stream->GetFill() : 0; }

std::optional<StreamHeaders> Player::GetStreamHeaders() {
  return m_stream ? m_stream->GetStreamHeaders() : std::nullopt;
}

WString Player::RecordingPath() { return m_stream ? m_stream->RecordingPath() : WString(); }

bool Player::GetTrackInfo(TagInfo& info) {
  if (!m_stream) return false;
  return m_titles.current(info);
}

void Player::ReportNetStatus(int32_t stringId) {
  m_notify->post(kNetStatus, static_cast<uintptr_t>(stringId), 0);
}

void Player::ReportStatus(int32_t stringId) {
  m_notify->post(kStatus, static_cast<uintptr_t>(stringId), 0);
}

void Player::PrebufferComplete() { m_notify->post(kPrebufferDone, 0, 0); }

void Player::ConnectFinished(bool ok) {
  m_connected = ok;
  m_connectEvent.set();
}

// On the decoding thread, inside a read. The first title of a connection shows at once; later
// ones wait until their sound plays (placeTitles, showDueTitles).
void Player::TitleChanged() {
  if (!m_stream || m_titles.hasStreamTitle()) return;
  std::vector<IcyStream::PlacedTitle> titles = m_stream->TakeTitles();
  if (titles.empty()) return;
  TagInfo track;
  track.title = std::move(titles.back().title);
  m_titles.show(TitleSchedule::Source::Stream, std::move(track));
  m_notify->post(kTitleChanged, 0, 0);
}

void Player::ReportReconnecting(int32_t attempt) {
  m_notify->post(kStatus, kStrReconnecting, static_cast<intptr_t>(attempt));
}

void Player::StreamResolved(const std::string& url) {
  {
    std::lock_guard guard(m_resolvedLock);
    m_resolved.push_back(url);
  }
  m_notify->post(kStreamResolved, 0, 0);
}

std::vector<std::string> Player::TakeResolvedUrls() {
  std::lock_guard guard(m_resolvedLock);
  return std::exchange(m_resolved, {});
}

}  // namespace orvel
