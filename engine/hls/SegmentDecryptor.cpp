#include "engine/hls/SegmentDecryptor.h"

#include <openssl/evp.h>

#include <algorithm>

namespace orvel {
namespace {

constexpr size_t kBlockBytes = 16;
// EVP counts in int; larger inputs go in pieces of this.
constexpr size_t kMaxPieceBytes = size_t{1} << 20;

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

struct SegmentDecryptor::Cipher {
  EVP_CIPHER_CTX* context = EVP_CIPHER_CTX_new();
  ~Cipher() { EVP_CIPHER_CTX_free(context); }
};

SegmentDecryptor::SegmentDecryptor() : m_cipher(std::make_unique<Cipher>()) {}
SegmentDecryptor::~SegmentDecryptor() = default;

bool SegmentDecryptor::parseIv(std::string_view text, Block& iv) {
  if (text.size() != 2 + 2 * kBlockBytes || text[0] != '0' || (text[1] != 'x' && text[1] != 'X')) {
    return false;
  }
  for (size_t i = 0; i < kBlockBytes; ++i) {
    const int high = hexDigit(text[2 + 2 * i]);
    const int low = hexDigit(text[3 + 2 * i]);
    if (high < 0 || low < 0) return false;
    iv[i] = static_cast<uint8_t>(high << 4 | low);
  }
  return true;
}

SegmentDecryptor::Block SegmentDecryptor::sequenceIv(uint64_t sequence) {
  Block iv{};
  for (size_t i = 0; i < 8; ++i)
    iv[kBlockBytes - 1 - i] = static_cast<uint8_t>(sequence >> (8 * i));
  return iv;
}

bool SegmentDecryptor::start(const Block& key, const Block& iv) {
  m_started =
      m_cipher->context != nullptr &&
      EVP_DecryptInit_ex(m_cipher->context, EVP_aes_128_cbc(), nullptr, key.data(), iv.data()) == 1;
  return m_started;
}

bool SegmentDecryptor::update(const uint8_t* data, size_t size, std::vector<uint8_t>& out) {
  if (!m_started) return false;
  while (size > 0) {
    const size_t piece = std::min(size, kMaxPieceBytes);
    const size_t before = out.size();
    out.resize(before + piece + kBlockBytes);
    int written = 0;
    if (EVP_DecryptUpdate(m_cipher->context, out.data() + before, &written, data,
                          static_cast<int>(piece)) != 1) {
      out.resize(before);
      m_started = false;
      return false;
    }
    out.resize(before + static_cast<size_t>(written));
    data += piece;
    size -= piece;
  }
  return true;
}

bool SegmentDecryptor::finish(std::vector<uint8_t>& out) {
  if (!m_started) return false;
  m_started = false;
  const size_t before = out.size();
  out.resize(before + kBlockBytes);
  int written = 0;
  const bool ok = EVP_DecryptFinal_ex(m_cipher->context, out.data() + before, &written) == 1;
  out.resize(before + (ok ? static_cast<size_t>(written) : 0));
  return ok;
}

}  // namespace orvel
