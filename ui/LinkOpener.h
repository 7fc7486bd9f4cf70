#pragma once
// Opens what a web link points at: the desktop's browser for an address, its mail program for a
// recipient. Links open through the current opener: the desktop one unless another is installed
// (tests install one that records). UI thread only; the operations start the program and return
// without waiting for it.

#include "platform/Text.h"

namespace orvel {

class LinkOpener {
 public:
  virtual ~LinkOpener() = default;

  // Hands the link to the browser as it is. False when nothing could be started; the caller
  // does not report it.
  virtual bool openInBrowser(const WString& link) = 0;
  // Starts the mail program with a new message to the address. False when nothing could be
  // started; the caller does not report it.
  virtual bool openMail(const WString& address) = 0;

  // The opener in use. Not owned.
  static LinkOpener& current();
  // Installs an opener (nullptr restores the desktop one); returns the previous one.
  static LinkOpener* install(LinkOpener* opener);
};

}  // namespace orvel
