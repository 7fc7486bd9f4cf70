#include "app/StreamLink.h"

#include <QFileInfo>
#include <QString>
#include <QUrl>
#include <memory>
#include <vector>

#include "library/CategoryInfo.h"
#include "library/M3uPlaylist.h"
#include "library/PlsPlaylist.h"
#include "library/RadioInfo.h"
#include "library/StreamInfo.h"

namespace orvel {
namespace {

QString toQString(WStringView text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// A file:// address as its local path; anything else unchanged.
QString localPath(WStringView link) {
  const QString text = toQString(link);
  if (text.startsWith(QStringLiteral("file:"), Qt::CaseInsensitive)) {
    return QUrl(text).toLocalFile();
  }
  return text;
}

std::optional<StreamLinkTarget> firstEntry(const QString& path) {
  std::unique_ptr<PlaylistFile> playlist;
  if (path.endsWith(QStringLiteral(".pls"), Qt::CaseInsensitive)) {
    playlist = std::make_unique<PlsPlaylist>();
  } else {
    playlist = std::make_unique<M3uPlaylist>();
  }
  const WString absolute = QFileInfo(path).absoluteFilePath().toStdU16String();
  if (!playlist->Load(absolute, true)) return std::nullopt;
  // Appended records go to the head of their lists: the file's first entry comes last.
  const std::vector<const StreamInfo*> streams = playlist->allStreams();
  for (auto it = streams.rbegin(); it != streams.rend(); ++it) {
    const StreamInfo* stream = *it;
    if (!StreamLink::isAddress(stream->url)) continue;
    return StreamLinkTarget{stream->url,
                            stream->radio != nullptr ? stream->radio->title : WString()};
  }
  return std::nullopt;
}

}  // namespace

bool StreamLink::isAddress(WStringView link) {
  const QUrl url(toQString(link), QUrl::StrictMode);
  const QString scheme = url.scheme().toLower();
  return url.isValid() && !url.host().isEmpty() &&
         (scheme == QStringLiteral("http") || scheme == QStringLiteral("https"));
}

bool StreamLink::isPlaylistPath(WStringView link) {
  const QString path = localPath(link);
  return path.endsWith(QStringLiteral(".pls"), Qt::CaseInsensitive) ||
         path.endsWith(QStringLiteral(".m3u"), Qt::CaseInsensitive) ||
         path.endsWith(QStringLiteral(".m3u8"), Qt::CaseInsensitive);
}

std::optional<StreamLinkTarget> StreamLink::resolve(const WString& link) {
  if (isAddress(link)) return StreamLinkTarget{link, WString()};
  if (!isPlaylistPath(link)) return std::nullopt;
  return firstEntry(localPath(link));
}

}  // namespace orvel
